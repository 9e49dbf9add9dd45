#include "platform/read_ahead.h"

namespace platform {

void ReadAhead::reached(std::size_t index) {
  if (!helper_ || index < told_ + kFilesAhead / 2) return;
  told_ = index;
  tell(index);
}

}  // namespace platform
