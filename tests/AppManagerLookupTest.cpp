#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AppManagerLookup.h"
#include "FakeWindowsTest.h"

using namespace std::string_literals;
using fake::RegistryValue;
using platform::kRegExpandSz;
using platform::kRegSz;
using ::testing::ElementsAre;

namespace {

const std::string kOpen =
    "RegOpenKeyExA(HKEY_LOCAL_MACHINE, "
    "\"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE\", 0, 0x20019, "
    "result=0x0)";

class AppManagerLookupTest : public FakeWindowsTest {};

struct RegistryCase {
  const char* name;
  long openResult;
  std::optional<RegistryValue> value;
  std::optional<RegistryValue> valueAtDataQuery;
  std::string expected;
};

const std::string kLongPath = "C:\\" + std::string(300, 'd') + "\\CEAPPMGR.EXE";

const RegistryCase kRegistryCases[] = {
    {"string with its terminator",
     0,
     RegistryValue{kRegSz, "C:\\CE Tools\\CEAPPMGR.EXE\0"s},
     {},
     "C:\\CE Tools\\CEAPPMGR.EXE"},
    {"string without a terminator",
     0,
     RegistryValue{kRegSz, "C:\\CE\\CEAPPMGR.EXE"},
     {},
     "C:\\CE\\CEAPPMGR.EXE"},
    {"expandable string, not expanded",
     0,
     RegistryValue{kRegExpandSz, "%ProgramFiles%\\CE\\CEAPPMGR.EXE\0"s},
     {},
     "%ProgramFiles%\\CE\\CEAPPMGR.EXE"},
    {"quotes and spaces at the ends kept",
     0,
     RegistryValue{kRegSz, " \"C:\\A B\\CEAPPMGR.EXE\" \0"s},
     {},
     " \"C:\\A B\\CEAPPMGR.EXE\" "},
    {"zero byte inside cuts the text",
     0,
     RegistryValue{kRegSz, "C:\\CE\0D:\\Other\0"s},
     {},
     "C:\\CE"},
    {"only a zero byte", 0, RegistryValue{kRegSz, "\0"s}, {}, ""},
    {"string of 0 bytes", 0, RegistryValue{kRegSz, ""}, {}, ""},
    {"DWORD of 0 bytes", 0, RegistryValue{fake::kRegDword, ""}, {}, ""},
    {"longer than 260 bytes", 0, RegistryValue{kRegSz, kLongPath + '\0'}, {}, kLongPath},
    {"DWORD", 0, RegistryValue{fake::kRegDword, "\x01\0\0\0"s}, {}, ""},
    {"binary spelling a path",
     0,
     RegistryValue{fake::kRegBinary, "C:\\CE\\CEAPPMGR.EXE\0"s},
     {},
     ""},
    {"multi-string", 0, RegistryValue{fake::kRegMultiSz, "C:\\A.EXE\0C:\\B.EXE\0\0"s}, {}, ""},
    {"no default value", 0, {}, {}, ""},
    {"key missing", fake::kErrorFileNotFound, {}, {}, ""},
    {"key not readable", fake::kErrorAccessDenied, RegistryValue{kRegSz, "C:\\CE.EXE"}, {}, ""},
    {"value grew between the queries", 0, RegistryValue{kRegSz, "C:\\A.EXE"},
     RegistryValue{kRegSz, "C:\\Longer\\A.EXE"}, ""},
    {"value shrank between the queries: only delivered bytes count", 0,
     RegistryValue{kRegSz, "C:\\Longer\\A.EXE"}, RegistryValue{kRegSz, "C:\\A.EXE"}, "C:\\A.EXE"},
    {"type taken from the data query: became a DWORD", 0, RegistryValue{kRegSz, "C:\\A.EXE"},
     RegistryValue{fake::kRegDword, "C:\\A.EXE"}, ""},
    {"type taken from the data query: became a string", 0,
     RegistryValue{fake::kRegBinary, "C:\\A.EXE"}, RegistryValue{kRegSz, "C:\\A.EXE"}, "C:\\A.EXE"},
};

TEST_F(AppManagerLookupTest, ResultOfEachRegistryOutcome) {
  for (const RegistryCase& c : kRegistryCases) {
    fake::Reset();
    windows.openResult = c.openResult;
    windows.defaultValue = c.value;
    windows.defaultValueAtDataQuery = c.valueAtDataQuery;

    EXPECT_EQ(FindAppManagerPath(), c.expected) << c.name;

    EXPECT_EQ(CallsStartingWith("RegCloseKey("), c.openResult == 0 ? 1 : 0) << c.name;
    EXPECT_TRUE(windows.openKeys.empty()) << c.name;
    EXPECT_EQ(windows.calls.front(), kOpen) << c.name;
  }
}

TEST_F(AppManagerLookupTest, ReadsSizeThenDataOfTheDefaultValueAndClosesTheKey) {
  windows.defaultValue = RegistryValue{kRegSz, "C:\\CE\\CEAPPMGR.EXE\0"s};

  EXPECT_EQ(FindAppManagerPath(), "C:\\CE\\CEAPPMGR.EXE");
  EXPECT_THAT(
      windows.calls,
      ElementsAre(kOpen,
                  "RegQueryValueExA(0x101, \"\", reserved=null, type=out, data=null, size=0)",
                  "RegQueryValueExA(0x101, \"\", reserved=null, type=out, data=buffer, size=19)",
                  "RegCloseKey(0x101)"));
}

TEST_F(AppManagerLookupTest, FailedOpenQueriesTheNullHandleAndClosesNothing) {
  windows.openResult = fake::kErrorFileNotFound;

  EXPECT_EQ(FindAppManagerPath(), "");
  EXPECT_THAT(
      windows.calls,
      ElementsAre(kOpen,
                  "RegQueryValueExA(0x0, \"\", reserved=null, type=out, data=null, size=0)"));
}

TEST_F(AppManagerLookupTest, NoDataQueryWithoutASizeAbove0) {
  struct {
    const char* name;
    std::optional<std::uint32_t> reportedSize;
  } const cases[] = {
      {"size 0", std::nullopt},
      {"size negative as a signed count", 0x80000000u},
      {"largest unsigned size", 0xFFFFFFFFu},
  };
  for (const auto& c : cases) {
    fake::Reset();
    windows.defaultValue = RegistryValue{fake::kRegBinary, ""};
    windows.reportedSize = c.reportedSize;

    EXPECT_EQ(FindAppManagerPath(), "") << c.name;
    EXPECT_THAT(windows.calls,
                ElementsAre(kOpen, ::testing::StartsWith("RegQueryValueExA(0x101, \"\""),
                            "RegCloseKey(0x101)"))
        << c.name;
  }
}

}  // namespace
