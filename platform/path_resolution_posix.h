// POSIX side of the path rules: turns an analyser path (CP932 with the
// stand-ins of platform/file_names.h, '\' or '/') into the UTF-8 path of an
// existing file where one matches without regard to letter case, as
// Windows would find it.
#pragma once

#include <string>

namespace platform {

// The native path for `path`. When no file has exactly that name, each
// part is looked up without regard to ASCII letter case; parts that match
// nothing are kept as written.
std::string resolveNativePath(const std::string& path);
// The native path for `path` as written, with no look at the disk.
std::string nativePathAsWritten(const std::string& path);
// resolveNativePath() for a native path known not to be there as written
// (its open failed): the lookup without asking for it again.
std::string resolveMissingNativePath(const std::string& native);

}  // namespace platform
