// The Windows functions that the launcher calls, and nothing else.
//
// This header exists so that tests can replace Windows: the launcher's core
// includes only this header, the program links the real implementation
// (WindowsPlatform.cpp) and the tests link a scripted fake that records
// every call with its arguments. Each function behaves as the Windows
// function of the same name, with portable types in place of windows.h's.
#pragma once

#include <cstdint>

namespace platform {

// Opaque Windows handles; 0 is the null handle.
using KeyHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;
using ModuleHandle = std::uintptr_t;

// HKEY_LOCAL_MACHINE: the 32-bit value 0x80000002 sign-extended to a handle.
inline constexpr KeyHandle kLocalMachine =
    static_cast<KeyHandle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002u)));

inline constexpr long kErrorSuccess = 0;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr int kSmDbcsEnabled = 42;
inline constexpr std::uint32_t kCpAcp = 0;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbTaskModal = 0x2000;
inline constexpr unsigned kSwShowNormal = 1;

// The part of CPINFO that the launcher reads: up to six lead-byte ranges,
// as pairs of lower and upper bounds, ended by a pair of zeros.
struct CodePageInfo {
  std::uint8_t leadByte[12];
};

// Registry. Return a Windows error code, kErrorSuccess on success.
long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   KeyHandle* result);
long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize);
long RegCloseKey(KeyHandle key);

// Bytes written without the terminator; size when the path did not fit; 0 on failure.
std::uint32_t GetModuleFileNameA(ModuleHandle module, char* fileName, std::uint32_t size);

// Code page information.
int GetSystemMetrics(int index);
bool GetCPInfo(std::uint32_t codePage, CodePageInfo* info);

// User interface and process start.
WindowHandle GetActiveWindow();
int MessageBoxA(WindowHandle owner, const char* text, const char* caption, unsigned type);
unsigned WinExec(const char* commandLine, unsigned showCommand);

}  // namespace platform
