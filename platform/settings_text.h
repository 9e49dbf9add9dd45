// Files of settings (the INI file, the settings data file) read whole and
// once: a regular file of text within a bound. A file that is not is told
// by its problem, so that the program can take what it has built in
// instead and say so.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/byte_source.h"

namespace platform {

// Larger files are no files of settings (an INI file with 20,000 include
// folders holds about 1 MB).
constexpr size_t kSettingsFileBound = 16u << 20;

struct SettingsText {
  std::string bytes;
  FileProblem problem = FileProblem::kNone;  // kMissing when nothing is there
};

// The file at `path` in `files`, with kTooLarge past kSettingsFileBound
// and kNotText when its bytes are no text (the bytes are then dropped).
SettingsText readSettingsText(FileSet& files, const std::string& path);

// Text holds no control byte but tab, the line ends, form feed and the
// end-of-file mark (0x1A); bytes that start with the byte-order mark of
// UTF-16 (FF FE) are text in that encoding, which the readers convert.
bool looksLikeText(std::string_view bytes);

}  // namespace platform
