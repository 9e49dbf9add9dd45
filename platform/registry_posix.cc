#include "platform/registry.h"

namespace platform {

// POSIX systems have no registry: every key is missing.
bool readRegistryString(RegistryRoot, const std::string&, const std::string&, std::string&) {
  return false;
}

}  // namespace platform
