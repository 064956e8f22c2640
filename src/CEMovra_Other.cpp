#include <new>

#include "AppManagerLookup.h"
#include "Launcher.h"
#include "SetupFilePath.h"
#include "platform/Platform.h"

std::string BuildLaunchCommand(std::string_view appManagerPath, std::string_view setupFilePath) {
  std::string command;
  command.reserve(appManagerPath.size() + setupFilePath.size() + 5);
  command += '"';
  command += appManagerPath;
  command += "\" \"";
  command += setupFilePath;
  command += '"';
  return command;
}

namespace {

constexpr char kMessageCaption[] = "MOVRA";
constexpr char kNotFoundMessage[] =
    "CE Application Manager not found.\r\n"
    "Registry entry \"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    "App Paths\\CEAPPMGR.EXE\" not found or empty";
constexpr char kOutOfMemoryMessage[] =
    "The CE Application Manager could not be started: out of memory.";

void RunLaunchSequence(const DoubleByteInfo& doubleByte) {
  const std::string appManagerPath = FindAppManagerPath();
  const std::string setupFilePath = MakeSetupFilePath(doubleByte);
  if (appManagerPath.empty()) {
    // The user is told, and the start is still requested: the command line
    // then names no program and the start fails on its own.
    platform::MessageBoxA(platform::GetActiveWindow(), kNotFoundMessage, kMessageCaption,
                          platform::kMbIconError);
  }
  const std::string command = BuildLaunchCommand(appManagerPath, setupFilePath);
  platform::WinExec(command.c_str(), platform::kSwShowNormal);
}

}  // namespace

int RunLauncher() {
  const DoubleByteInfo doubleByte = ReadDoubleByteInfo();
  try {
    RunLaunchSequence(doubleByte);
    return 0;
  } catch (const std::bad_alloc&) {
    // The only failure that can leave the sequence. The report allocates
    // nothing, so it works while memory is exhausted.
    platform::MessageBoxA(0, kOutOfMemoryMessage, kMessageCaption,
                          platform::kMbIconError | platform::kMbTaskModal);
    return 1;
  }
}
