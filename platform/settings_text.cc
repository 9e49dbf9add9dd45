#include "platform/settings_text.h"

namespace platform {

bool looksLikeText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return true;
  for (char c : bytes) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) return false;
  }
  return true;
}

SettingsText readSettingsText(FileSet& files, const std::string& path) {
  SettingsText text;
  std::unique_ptr<ByteSource> source = files.open(path, &text.problem);
  if (!source) return text;
  constexpr size_t kChunk = 64 * 1024;
  char chunk[kChunk];
  size_t n = 0;
  do {
    n = source->read(chunk, kChunk);
    text.bytes.append(chunk, n);
  } while (n == kChunk && text.bytes.size() <= kSettingsFileBound);
  if (text.bytes.size() > kSettingsFileBound)
    text.problem = FileProblem::kTooLarge;
  else if (!looksLikeText(text.bytes))
    text.problem = FileProblem::kNotText;
  if (text.problem != FileProblem::kNone) text.bytes.clear();
  return text;
}

}  // namespace platform
