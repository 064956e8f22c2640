// The real Windows behind Platform.h: each function forwards to its namesake.
#include <windows.h>

#include <cstring>

#include "platform/Platform.h"

namespace platform {

static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kKeyRead == KEY_READ);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ);
static_assert(kSmDbcsEnabled == SM_DBCSENABLED);
static_assert(kCpAcp == CP_ACP);
static_assert(kMbIconError == MB_ICONERROR && kMbTaskModal == MB_TASKMODAL);
static_assert(kSwShowNormal == SW_SHOWNORMAL);
static_assert(sizeof(CodePageInfo::leadByte) == sizeof(CPINFO::LeadByte));

namespace {
HKEY ToHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   KeyHandle* result) {
  HKEY opened = ToHkey(*result);
  const LONG status = ::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
  *result = reinterpret_cast<KeyHandle>(opened);
  return status;
}

long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
  DWORD winType = 0;
  DWORD winSize = *dataSize;
  const LONG status = ::RegQueryValueExA(
      ToHkey(key), valueName, reinterpret_cast<LPDWORD>(reserved), &winType, data, &winSize);
  *type = winType;
  *dataSize = winSize;
  return status;
}

long RegCloseKey(KeyHandle key) { return ::RegCloseKey(ToHkey(key)); }

std::uint32_t GetModuleFileNameA(ModuleHandle module, char* fileName, std::uint32_t size) {
  return ::GetModuleFileNameA(reinterpret_cast<HMODULE>(module), fileName, size);
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

bool GetCPInfo(std::uint32_t codePage, CodePageInfo* info) {
  CPINFO winInfo{};
  if (!::GetCPInfo(codePage, &winInfo)) return false;
  std::memcpy(info->leadByte, winInfo.LeadByte, sizeof info->leadByte);
  return true;
}

WindowHandle GetActiveWindow() { return reinterpret_cast<WindowHandle>(::GetActiveWindow()); }

int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  return ::MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type);
}

unsigned WinExec(const char* commandLine, unsigned showCommand) {
  return ::WinExec(commandLine, showCommand);
}

}  // namespace platform
