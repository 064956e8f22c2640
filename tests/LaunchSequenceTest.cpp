#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "AllocationFaults.h"
#include "FakeWindowsTest.h"
#include "Launcher.h"

using namespace std::string_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kLine1 = "CE Application Manager not found.";
const std::string kLine2 =
    "Registry entry \"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App "
    "Paths\\CEAPPMGR.EXE\" not found or empty";
const std::string kNotFoundBox =
    "MessageBoxA(0xa11, \"" + kLine1 + "\\x0D\\x0A" + kLine2 + "\", \"MOVRA\", 0x10)";
const std::string kOutOfMemoryBox =
    "MessageBoxA(0x0, \"The CE Application Manager could not be started: out of memory.\", "
    "\"MOVRA\", 0x2010)";
const std::string kRegisteredPath = "C:\\Program Files\\CE Tools\\CEAPPMGR.EXE";
const std::string kStartRegistered =
    "WinExec(\"\"" + kRegisteredPath + "\" \"C:\\Kit\\MovraCE_Other.ini\"\", 1)";
const std::string kStartUnregistered = "WinExec(\"\"\" \"C:\\Kit\\MovraCE_Other.ini\"\", 1)";

class LaunchSequenceTest : public FakeWindowsTest {
 protected:
  void Register(const std::string& path) {
    windows.defaultValue = fake::RegistryValue{platform::kRegSz, path + '\0'};
  }
};

TEST(MessageTextTest, ExpectedTextHasTwoLinesOf154Characters) {
  EXPECT_EQ(kLine1.size(), 33u);
  EXPECT_EQ(kLine2.size(), 119u);
}

TEST_F(LaunchSequenceTest, RegisteredStartsWithoutAMessage) {
  Register(kRegisteredPath);

  EXPECT_EQ(RunLauncher(), 0);
  EXPECT_THAT(windows.calls,
              ElementsAre("GetSystemMetrics(42)", HasSubstr("RegOpenKeyExA"),
                          HasSubstr("data=null"), HasSubstr("data=buffer"), "RegCloseKey(0x101)",
                          "GetModuleFileNameA(0x0, 261)", kStartRegistered));
}

TEST_F(LaunchSequenceTest, NotRegisteredShowsTheMessageThenStartsAnyway) {
  struct {
    const char* name;
    long openResult;
    std::optional<fake::RegistryValue> value;
  } const cases[] = {
      {"key missing", fake::kErrorFileNotFound, std::nullopt},
      {"value empty", 0, fake::RegistryValue{platform::kRegSz, "\0"s}},
      {"value not a string", 0, fake::RegistryValue{fake::kRegDword, "\x01\0\0\0"s}},
  };
  for (const auto& c : cases) {
    fake::Reset();
    windows.openResult = c.openResult;
    windows.defaultValue = c.value;

    EXPECT_EQ(RunLauncher(), 0) << c.name;
    const std::vector<std::string> tail(windows.calls.end() - 4, windows.calls.end());
    EXPECT_THAT(tail, ElementsAre("GetModuleFileNameA(0x0, 261)", "GetActiveWindow()", kNotFoundBox,
                                  kStartUnregistered))
        << c.name;
    EXPECT_EQ(CallsStartingWith("MessageBoxA"), 1) << c.name;
  }
}

TEST_F(LaunchSequenceTest, MessageWithoutAnActiveWindowHasNoOwner) {
  windows.activeWindow = 0;
  EXPECT_EQ(RunLauncher(), 0);
  EXPECT_THAT(windows.calls, Contains(HasSubstr("MessageBoxA(0x0, \"CE Application Manager")));
}

TEST_F(LaunchSequenceTest, RegisteredPathThatNamesNoFileStillStarts) {
  Register("Z:\\nowhere\\CEAPPMGR.EXE");
  EXPECT_EQ(RunLauncher(), 0);
  EXPECT_EQ(CallsStartingWith("GetActiveWindow"), 0);
  EXPECT_EQ(windows.calls.back(),
            "WinExec(\"\"Z:\\nowhere\\CEAPPMGR.EXE\" \"C:\\Kit\\MovraCE_Other.ini\"\", 1)");
}

TEST(BuildLaunchCommandTest, QuotesEachPathAndJoinsThemWithOneSpace) {
  struct {
    const char* name;
    std::string appManagerPath;
    std::string setupFilePath;
    std::string expected;
  } const cases[] = {
      {"plain", "C:\\CE\\CEAPPMGR.EXE", "D:\\MovraCE_Other.ini",
       "\"C:\\CE\\CEAPPMGR.EXE\" \"D:\\MovraCE_Other.ini\""},
      {"spaces kept inside the quotes", "C:\\A B\\X.EXE", "D:\\K L\\MovraCE_Other.ini",
       "\"C:\\A B\\X.EXE\" \"D:\\K L\\MovraCE_Other.ini\""},
      {"quotes of the value kept", "\"C:\\A B\\X.EXE\"", "D:\\MovraCE_Other.ini",
       "\"\"C:\\A B\\X.EXE\"\" \"D:\\MovraCE_Other.ini\""},
      {"empty path gives two quotes", "", "D:\\MovraCE_Other.ini",
       "\"\" \"D:\\MovraCE_Other.ini\""},
      {"double-byte bytes copied", "C:\\\x95\\\\X.EXE", "D:\\\x88\x9F\\MovraCE_Other.ini",
       "\"C:\\\x95\\\\X.EXE\" \"D:\\\x88\x9F\\MovraCE_Other.ini\""},
  };
  for (const auto& c : cases) {
    const std::string command = BuildLaunchCommand(c.appManagerPath, c.setupFilePath);
    EXPECT_EQ(command, c.expected) << c.name;
    EXPECT_EQ(command.size(), c.appManagerPath.size() + c.setupFilePath.size() + 5) << c.name;
  }
}

// Exhausted memory while the registry value is read is contained by the
// lookup; anywhere else it ends the run with the report and exit code 1.
class ExhaustedMemoryTest : public LaunchSequenceTest {
 protected:
  static constexpr char kFault[] = "<out of memory>";

  struct Case {
    std::size_t allocation;
    const char* what;
    const char* callBefore;  // prefix of the last call before the allocation
    int exitCode;
    std::vector<std::string> callsAfter;
  };

  // Fails each allocation in turn and checks where it happened and what followed.
  void CheckEach(const std::vector<Case>& cases) {
    const fake::Windows script = windows;
    allocation_faults::Arm(0);
    RunLauncher();
    allocation_faults::Disarm();
    ASSERT_EQ(allocation_faults::Counted(), cases.size());

    for (const Case& c : cases) {
      windows = script;
      allocation_faults::Arm(c.allocation, [] { fake::World().calls.push_back(kFault); });
      const int exitCode = RunLauncher();
      allocation_faults::Disarm();

      ASSERT_TRUE(allocation_faults::Fired()) << c.what;
      const auto fault = std::find(windows.calls.begin(), windows.calls.end(), kFault);
      ASSERT_NE(fault, windows.calls.begin()) << c.what;
      EXPECT_THAT(*(fault - 1), ::testing::StartsWith(c.callBefore)) << c.what;
      EXPECT_EQ(exitCode, c.exitCode) << c.what;
      EXPECT_TRUE(windows.openKeys.empty()) << c.what;
      EXPECT_EQ(std::vector<std::string>(fault + 1, windows.calls.end()), c.callsAfter) << c.what;
    }
  }
};

TEST_F(ExhaustedMemoryTest, Registered) {
  Register(kRegisteredPath);
  CheckEach({
      {1,
       "registry value buffer: contained",
       "RegQueryValueExA(0x101, \"\", reserved=null, type=out, data=null",
       0,
       {"RegCloseKey(0x101)", "GetModuleFileNameA(0x0, 261)", "GetActiveWindow()", kNotFoundBox,
        kStartUnregistered}},
      {2, "module path buffer", "RegCloseKey(0x101)", 1, {kOutOfMemoryBox}},
      {3, "setup file path", "GetModuleFileNameA(0x0, 261)", 1, {kOutOfMemoryBox}},
      {4, "command line", "GetModuleFileNameA(0x0, 261)", 1, {kOutOfMemoryBox}},
  });
}

TEST_F(ExhaustedMemoryTest, NotRegistered) {
  windows.openResult = fake::kErrorFileNotFound;
  CheckEach({
      {1, "module path buffer: before the message", "RegQueryValueExA(0x0", 1, {kOutOfMemoryBox}},
      {2,
       "setup file path: before the message",
       "GetModuleFileNameA(0x0, 261)",
       1,
       {kOutOfMemoryBox}},
      {3, "command line: after the message", kNotFoundBox.c_str(), 1, {kOutOfMemoryBox}},
  });
}

}  // namespace
