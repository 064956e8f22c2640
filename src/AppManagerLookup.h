// Finds the CE Application Manager through its App Paths registration.
#pragma once

#include <string>

// The registration's key under HKEY_LOCAL_MACHINE.
inline constexpr char kAppManagerKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

// The registered executable path exactly as stored (not expanded, not
// trimmed), or the empty string when the registration is missing, empty,
// not a string or unreadable. Only exhausted memory while opening the key
// passes out; the key is closed on every way out.
std::string FindAppManagerPath();
