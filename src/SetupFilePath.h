// Composes the path of the setup description file beside the launcher's own
// executable. Paths are byte strings in the system's ANSI code page.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

// Whether the ANSI code page is double-byte, and its lead bytes; read once
// at process start.
struct DoubleByteInfo {
  bool enabled = false;
  std::bitset<256> leadBytes;
};

inline constexpr std::string_view kSetupFileName = "MovraCE_Other.ini";

// GetSystemMetrics(SM_DBCSENABLED), then, only when it is non-zero, the lead
// byte ranges of GetCPInfo(CP_ACP). A failing GetCPInfo leaves no lead bytes.
DoubleByteInfo ReadDoubleByteInfo();

// The module path up to and including its last backslash or colon that is
// not the second byte of a double-byte character; empty when there is none.
std::string_view DirectoryPart(std::string_view modulePath, const DoubleByteInfo& doubleByte);

// The directory part of the launcher's own path, a backslash unless it
// already ends with one, and kSetupFileName; the bare file name when the
// directory part is empty. The file is neither opened nor looked for.
std::string MakeSetupFilePath(const DoubleByteInfo& doubleByte);
