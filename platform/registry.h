// Read access to the system registry (Windows); other platforms have none.
#pragma once

#include <string>

namespace platform {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// Reads a string value; false when the key or value does not exist.
bool readRegistryString(RegistryRoot root, const std::string& subKey, const std::string& valueName,
                        std::string& value);

}  // namespace platform
