// Large pages on Windows need a privilege that an ordinary user lacks; the
// heap stays on ordinary pages.
#include "platform/memory.h"

namespace platform {

void adviseLargePagesForHeap() {}

}  // namespace platform
