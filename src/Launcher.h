// The launcher's one pass from start to exit.
#pragma once

#include <string>
#include <string_view>

// "appManagerPath" "setupFilePath": each path between double quotes, byte
// for byte, joined by one space.
std::string BuildLaunchCommand(std::string_view appManagerPath, std::string_view setupFilePath);

// The whole program: reads the double-byte information, looks up the
// Application Manager, composes the setup file's path, tells the user when
// the Application Manager is not registered, and starts it with both paths;
// the start's outcome is not examined. Returns the exit code: 0, or 1 after
// reporting a failure that escaped.
int RunLauncher();
