// Windows warms its cache by itself within a file, and the toolchain's
// thread model gives no portable threads; the files are read as they come.
#include "platform/read_ahead.h"

namespace platform {

struct ReadAhead::Helper {};

ReadAhead::ReadAhead(const std::vector<std::string>&) {}

ReadAhead::~ReadAhead() = default;

void ReadAhead::reached(std::size_t) {}

}  // namespace platform
