// Files that appear whole or not at all: the new content of a file is
// written under a name of its own beside it and takes the file's place in
// one step once it is complete, so that a reader meets either the old file
// or the new one, and a write that fails (a full disk) leaves the old one
// as it was.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

struct Replacement {
  std::FILE* file = nullptr;  // open for writing; null when nothing could be opened
  std::string written;        // where the bytes go (the platform's own form)
  std::string target;         // the file they replace; empty when written in place
};

// Opens a new, empty file in the folder of `path` (CP932, as file_system.h
// takes paths) that is to replace `path`: "<name>.<process>.tmp", or with a
// number more when that name is taken. Where `path` is there and is no
// regular file (a device, a pipe), it cannot be replaced, and where the
// folder takes no new file but `path` may be written, nothing else can be
// done: it is opened for writing itself. A link is followed: the file it
// leads to is replaced.
Replacement openReplacement(const std::string& path);

// Puts the closed replacement in its target's place; false, with the
// replacement removed and the target as it was, when it cannot.
bool putReplacementInPlace(const Replacement& replacement);

// Removes a closed replacement that is not to be used.
void discardReplacement(const Replacement& replacement);

// The replacement's name for a library that opens files itself through the
// C runtime (as nativeFileName() in file_system.h); empty where there is
// none.
std::string replacementFileName(const Replacement& replacement);

}  // namespace platform
