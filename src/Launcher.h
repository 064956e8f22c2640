// The launcher's one pass from start to exit.
#pragma once

#include <string>
#include <string_view>

struct DoubleByteInfo;

inline constexpr char kMessageCaption[] = "MOVRA";
inline constexpr char kNotFoundMessage[] =
    "CE Application Manager not found.\r\n"
    "Registry entry \"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    "App Paths\\CEAPPMGR.EXE\" not found or empty";
inline constexpr char kOutOfMemoryMessage[] =
    "The CE Application Manager could not be started: out of memory.";

// "appManagerPath" "setupFilePath": each path between double quotes, byte
// for byte, joined by one space.
std::string BuildLaunchCommand(std::string_view appManagerPath, std::string_view setupFilePath);

// Looks up the Application Manager, composes the setup file's path, tells
// the user when the Application Manager is not registered, and starts it
// with both paths. The start's outcome is not examined.
void RunLaunchSequence(const DoubleByteInfo& doubleByte);

// The whole program: reads the double-byte information, runs the sequence
// and returns the exit code: 0, or 1 after reporting a failure that escaped.
int RunLauncher();
