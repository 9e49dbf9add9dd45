// Where the program's memory lies. A run builds tables of a hundred
// megabytes and more that it reads all over; on a system whose memory
// manager can back such a heap with large pages, asking for them saves
// most of the page faults and address-translation misses of a run.
#pragma once

namespace platform {

// Asks that the heap grown since the last call be backed by large pages
// where the system gives them on request; nothing elsewhere. Cheap when the
// heap has not grown: the driver calls it between files.
void adviseLargePagesForHeap();

}  // namespace platform
