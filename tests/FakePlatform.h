// A scripted Windows for the tests: implements src/platform/Platform.h over
// the state below and records every call with its arguments, as text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace fake {

inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RegistryValue {
  std::uint32_t type;
  std::string bytes;
};

struct Windows {
  // The Application Manager's key: what opening it returns, and its default
  // value (none: queries fail with ERROR_FILE_NOT_FOUND).
  long openResult = platform::kErrorSuccess;
  std::optional<RegistryValue> defaultValue;
  // The value as it has become by the data query, when it changes after the
  // size query.
  std::optional<RegistryValue> defaultValueAtDataQuery;
  // Overrides the size that the size query reports.
  std::optional<std::uint32_t> reportedSize;

  std::string modulePath = "C:\\Kit\\CEMovra_Other.exe";
  int dbcsEnabled = 0;
  bool cpInfoSucceeds = true;
  std::array<std::uint8_t, 12> leadByteRanges{};
  platform::WindowHandle activeWindow = 0xa11;

  // Every call, in order, e.g. "RegCloseKey(0x101)".
  std::vector<std::string> calls;
  // Keys opened and not yet closed.
  std::set<platform::KeyHandle> openKeys;
  // The next key handle that a successful open returns.
  platform::KeyHandle nextKey = 0x101;
};

// The one scripted Windows; Reset() gives a fresh one.
Windows& World();
void Reset();

// Bytes as the call records show them: printable ASCII as it is, other bytes
// as \xNN.
std::string Printable(const std::string& bytes);

}  // namespace fake
