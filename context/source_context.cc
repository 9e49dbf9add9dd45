#include "context/source_context.h"

#include "context/options.h"
#include "context/text_util.h"
#include "context/language_mode.h"

namespace {

const std::string kEmpty;

const char* const kOldStreamHeaders[] = {"iostream.h", "istream.h", "ostream.h", "fstream.h",
                                         "streamb.h",  "iomanip.h", "ios.h",     "strstrea.h"};
const char* const kAtlHeaders[] = {
    "atlbase.h", "atlcoll.h", "atlcom.h",      "atlcomcli.h",   "ATLComMem.h", "atlconv.h",
    "atlctl.h",  "atlcur.h",  "atlexcept.h",   "atlfile.h",     "ATLIFace.h",  "atlimage.h",
    "atlmem.h",  "atlsafe.h", "atlsecurity.h", "atlsimpcoll.h", "atlsnap.h",   "atlwin.h"};

template <size_t N>
bool listed(const char* const (&list)[N], const std::string& name) {
  for (const char* entry : list)
    if (equalsIgnoreCase(entry, name)) return true;
  return false;
}

}  // namespace

void SourceContext::push(const std::string& path) {
  std::string shortName = options_.tagJumpTree ? path : fileNamePart(path);
  stack_.push_back({1, shortName, path});
  ++changes_;
}

void SourceContext::pop() {
  if (!stack_.empty()) stack_.pop_back();
  ++changes_;
}

const std::string& SourceContext::item(int k) const {
  if (k < 0 || k >= depth()) return kEmpty;
  return stack_[stack_.size() - 1 - k].shortName;
}

const std::string& SourceContext::topPath() const {
  return stack_.empty() ? kEmpty : stack_.back().fullPath;
}

std::string SourceContext::topDirectory() const {
  return stack_.empty() ? std::string() : directoryPart(stack_.back().fullPath);
}

const std::string& SourceContext::mainFileName(bool evenInHeader) const {
  if (stack_.empty() || (!evenInHeader && stack_.size() > 1)) return kEmpty;
  return stack_.front().shortName;
}

const std::string& SourceContext::mainFilePath() const {
  return stack_.empty() ? kEmpty : stack_.front().fullPath;
}

void SourceContext::setLanguageMask(int mask) {
  if (stack_.empty()) languageMask_ = mask;
  ++changes_;
}

int SourceContext::languageFlavour() const {
  return (languageMask_ == kModeCOrCpp && oldStyleHeaderMissing_) ? kModeOldStyleCpp
                                                                  : languageMask_;
}

void SourceContext::markMissing(const std::string& name) {
  if (listed(kOldStreamHeaders, name)) oldStyleHeaderMissing_ = true;
  if (listed(kAtlHeaders, name)) atlHeaderMissing_ = true;
  ++changes_;
}

void SourceContext::reset() {
  stack_.clear();
  languageMask_ = 0;
  oldStyleHeaderMissing_ = false;
  atlHeaderMissing_ = false;
  ++changes_;
}
