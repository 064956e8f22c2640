#include "AppManagerLookup.h"

#include "RegistryKey.h"

std::string FindAppManagerPath() {
  RegistryKey key;
  key.OpenReadOnly(platform::kLocalMachine, kAppManagerKeyPath);
  try {
    return key.ReadString("");
  } catch (...) {
    // Whatever went wrong while reading, there is no usable registration.
    return {};
  }
}
