// The paths of a drop, read from its handle (a DROPFILES block) without
// trusting it: the handle may not be a block of this process at all, or
// its offsets and strings may run past its end. A list that cannot be read
// gives nothing, and the caller carries on.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The paths (CP932, names outside it as their stand-ins), or nothing when
// the block is not a readable list. The block is left as it is.
std::optional<std::vector<std::string>> readDropList(HGLOBAL drop);

// The log line of a drop that could not be read.
extern const char kUnreadableDropLine[];
