#include "FakePlatform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "AllocationFaults.h"

namespace fake {
namespace {
Windows world;

std::string Hex(std::uintptr_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%jx", static_cast<std::uintmax_t>(value));
  return text;
}

std::string Quoted(const char* text) {
  if (text == nullptr) return "null";
  std::string quoted = "\"";
  quoted += Printable(text);
  quoted += '"';
  return quoted;
}

std::string KeyName(platform::KeyHandle key) {
  return key == platform::kLocalMachine ? "HKEY_LOCAL_MACHINE" : Hex(key);
}

void Record(std::string call) { world.calls.push_back(std::move(call)); }
}  // namespace

Windows& World() { return world; }
void Reset() { world = Windows{}; }

std::string Printable(const std::string& bytes) {
  std::string text;
  for (const unsigned char byte : bytes) {
    if (byte >= 0x20 && byte < 0x7f) {
      text += static_cast<char>(byte);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    }
  }
  return text;
}

}  // namespace fake

namespace platform {
using fake::world;

long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   KeyHandle* result) {
  allocation_faults::Pause pause;
  fake::Record("RegOpenKeyExA(" + fake::KeyName(key) + ", " + fake::Quoted(subKey) + ", " +
               std::to_string(options) + ", " + fake::Hex(access) +
               ", result=" + fake::Hex(*result) + ")");
  if (world.openResult != kErrorSuccess) return world.openResult;
  *result = world.nextKey++;
  world.openKeys.insert(*result);
  return kErrorSuccess;
}

long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
  allocation_faults::Pause pause;
  fake::Record("RegQueryValueExA(" + fake::Hex(key) + ", " + fake::Quoted(valueName) +
               ", reserved=" + (reserved ? "set" : "null") + ", type=" + (type ? "out" : "null") +
               ", data=" + (data ? "buffer" : "null") + ", size=" + std::to_string(*dataSize) +
               ")");
  if (world.openKeys.count(key) == 0) return fake::kErrorInvalidHandle;
  const bool dataQuery = data != nullptr;
  const auto& value = dataQuery && world.defaultValueAtDataQuery ? world.defaultValueAtDataQuery
                                                                 : world.defaultValue;
  if (!value) return fake::kErrorFileNotFound;

  *type = value->type;
  const auto length = static_cast<std::uint32_t>(value->bytes.size());
  if (dataQuery) {
    if (*dataSize < length) {
      *dataSize = length;
      return fake::kErrorMoreData;
    }
    std::memcpy(data, value->bytes.data(), length);
    // What lies beyond the delivered bytes is undefined: make it visible.
    std::fill(data + length, data + *dataSize, 'X');
  }
  *dataSize = dataQuery ? length : world.reportedSize.value_or(length);
  return kErrorSuccess;
}

long RegCloseKey(KeyHandle key) {
  allocation_faults::Pause pause;
  fake::Record("RegCloseKey(" + fake::Hex(key) + ")");
  return world.openKeys.erase(key) == 1 ? kErrorSuccess : fake::kErrorInvalidHandle;
}

std::uint32_t GetModuleFileNameA(ModuleHandle module, char* fileName, std::uint32_t size) {
  allocation_faults::Pause pause;
  fake::Record("GetModuleFileNameA(" + fake::Hex(module) + ", " + std::to_string(size) + ")");
  const std::string& path = world.modulePath;
  if (path.size() >= size) {  // cut, without a terminator, as Windows XP does
    std::memcpy(fileName, path.data(), size);
    return size;
  }
  std::memcpy(fileName, path.c_str(), path.size() + 1);
  return static_cast<std::uint32_t>(path.size());
}

int GetSystemMetrics(int index) {
  allocation_faults::Pause pause;
  fake::Record("GetSystemMetrics(" + std::to_string(index) + ")");
  return index == kSmDbcsEnabled ? world.dbcsEnabled : 0;
}

bool GetCPInfo(std::uint32_t codePage, CodePageInfo* info) {
  allocation_faults::Pause pause;
  fake::Record("GetCPInfo(" + std::to_string(codePage) + ")");
  if (!world.cpInfoSucceeds) return false;
  std::copy(world.leadByteRanges.begin(), world.leadByteRanges.end(), info->leadByte);
  return true;
}

WindowHandle GetActiveWindow() {
  allocation_faults::Pause pause;
  fake::Record("GetActiveWindow()");
  return world.activeWindow;
}

int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  allocation_faults::Pause pause;
  fake::Record("MessageBoxA(" + fake::Hex(owner) + ", " + fake::Quoted(text) + ", " +
               fake::Quoted(caption) + ", " + fake::Hex(type) + ")");
  return 1;  // IDOK
}

unsigned WinExec(const char* commandLine, unsigned showCommand) {
  allocation_faults::Pause pause;
  fake::Record("WinExec(" + fake::Quoted(commandLine) + ", " + std::to_string(showCommand) + ")");
  return 33;  // above 31: started
}

}  // namespace platform
