#include "RegistryKey.h"

#include <algorithm>
#include <cstdint>

void RegistryKey::OpenReadOnly(platform::KeyHandle root, const char* subKey) {
  Close();
  platform::KeyHandle opened = 0;
  if (platform::RegOpenKeyExA(root, subKey, 0, platform::kKeyRead, &opened) ==
      platform::kErrorSuccess) {
    handle_ = opened;
  }
}

std::string RegistryKey::ReadString(const char* valueName) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (platform::RegQueryValueExA(handle_, valueName, nullptr, &type, nullptr, &size) !=
          platform::kErrorSuccess ||
      static_cast<std::int32_t>(size) <= 0) {
    return {};
  }

  std::string text(size, '\0');
  std::uint32_t delivered = size;
  if (platform::RegQueryValueExA(handle_, valueName, nullptr, &type,
                                 reinterpret_cast<std::uint8_t*>(text.data()),
                                 &delivered) != platform::kErrorSuccess) {
    throw RegistryError("Unable to retrieve data for the registry value");
  }
  if (type != platform::kRegSz && type != platform::kRegExpandSz) {
    throw RegistryError("Invalid data type for the registry value");
  }
  // The value may have shrunk since the size query: only delivered bytes count.
  text.resize(std::min(delivered, size));
  text.resize(std::min(text.find('\0'), text.size()));
  return text;
}

void RegistryKey::Close() {
  if (handle_ != 0) {
    platform::RegCloseKey(handle_);
    handle_ = 0;
  }
}
