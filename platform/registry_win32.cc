#include <windows.h>

#include "platform/registry.h"

namespace platform {

bool readRegistryString(RegistryRoot root, const std::string& subKey, const std::string& valueName,
                        std::string& value) {
  HKEY base = root == RegistryRoot::ClassesRoot   ? HKEY_CLASSES_ROOT
              : root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER
                                                  : HKEY_LOCAL_MACHINE;
  HKEY key;
  if (RegOpenKeyExA(base, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[1024];
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  LONG rc = RegQueryValueExA(key, valueName.empty() ? nullptr : valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  buffer[size] = '\0';
  value = buffer;
  return true;
}

}  // namespace platform
