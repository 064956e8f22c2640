#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

#include "FakeWindowsTest.h"
#include "SetupFilePath.h"

using ::testing::ElementsAre;

namespace {

// The lead-byte ranges of code page 932 (Japanese), as GetCPInfo reports them.
constexpr std::array<std::uint8_t, 12> kCodePage932 = {0x81, 0x9F, 0xE0, 0xFC};

std::bitset<256> LeadBytes(std::initializer_list<std::pair<unsigned, unsigned>> ranges) {
  std::bitset<256> set;
  for (const auto& [lower, upper] : ranges) {
    for (unsigned byte = lower; byte <= upper; ++byte) set.set(byte);
  }
  return set;
}

class SetupFilePathTest : public FakeWindowsTest {
 protected:
  std::string Compose(const std::string& modulePath, bool doubleByte) {
    fake::Reset();
    windows.modulePath = modulePath;
    windows.dbcsEnabled = doubleByte ? 1 : 0;
    windows.leadByteRanges = kCodePage932;
    return MakeSetupFilePath(ReadDoubleByteInfo());
  }
};

TEST_F(SetupFilePathTest, TakesTheFolderOfTheModulePath) {
  struct {
    const char* name;
    std::string modulePath;
    bool doubleByte;
    std::string expected;
  } const cases[] = {
      {"folder", "C:\\Setup\\inst.exe", false, "C:\\Setup\\MovraCE_Other.ini"},
      {"drive root: no second backslash", "D:\\inst.exe", false, "D:\\MovraCE_Other.ini"},
      {"network share", "\\\\host\\share\\kit\\inst.exe", false,
       "\\\\host\\share\\kit\\MovraCE_Other.ini"},
      {"colon: a backslash is added", "C:inst.exe", false, "C:\\MovraCE_Other.ini"},
      {"last delimiter wins", "D:\\kit\\data.bin:inst.exe", false,
       "D:\\kit\\data.bin:\\MovraCE_Other.ini"},
      {"short names and case unchanged", "C:\\PROGRA~1\\KIT\\INST.EXE", false,
       "C:\\PROGRA~1\\KIT\\MovraCE_Other.ini"},
      {"forward slash is no delimiter", "C:/kit/inst.exe", false, "C:\\MovraCE_Other.ini"},
      {"no delimiter: the bare file name", "inst.exe", false, "MovraCE_Other.ini"},
      {"no module path: the bare file name", "", false, "MovraCE_Other.ini"},
      {"trail byte 0x5C, double-byte on", "C:\\Kit\\\x95\\.exe", true,
       "C:\\Kit\\MovraCE_Other.ini"},
      {"trail byte 0x5C, double-byte off", "C:\\Kit\\\x95\\.exe", false,
       "C:\\Kit\\\x95\\MovraCE_Other.ini"},
      {"0x5C after a non-lead byte counts", "C:\\\x95\\\\inst.exe", true,
       "C:\\\x95\\\\MovraCE_Other.ini"},
      {"three lead-set bytes: trail byte", "C:\\Kit\\\x88\x9F\x95\\.exe", true,
       "C:\\Kit\\MovraCE_Other.ini"},
      {"two lead-set bytes: delimiter", "C:\\Kit\\\x88\x9F\\inst.exe", true,
       "C:\\Kit\\\x88\x9F\\MovraCE_Other.ini"},
      {"trail byte 0x3A, double-byte on", "C:\\Kit\\\x95:inst.exe", true,
       "C:\\Kit\\MovraCE_Other.ini"},
      {"lead-set bytes up to the start", "\x95\\inst.exe", true, "MovraCE_Other.ini"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fake::Printable(Compose(c.modulePath, c.doubleByte)), fake::Printable(c.expected))
        << c.name;
  }
}

TEST_F(SetupFilePathTest, FetchesOnceWhenThePathFits) {
  const std::string folder = "C:\\" + std::string(251, 'f') + "\\";
  const std::string modulePath = folder + "a.exe";  // 260 bytes
  ASSERT_EQ(modulePath.size(), 260u);

  EXPECT_EQ(Compose(modulePath, false), folder + "MovraCE_Other.ini");
  EXPECT_THAT(windows.calls, ElementsAre("GetSystemMetrics(42)", "GetModuleFileNameA(0x0, 261)"));
}

TEST_F(SetupFilePathTest, FetchesAgainWhenThePathWasCut) {
  const std::string folder = "C:\\" + std::string(300, 'f') + "\\kit\\";
  EXPECT_EQ(Compose(folder + "inst.exe", false), folder + "MovraCE_Other.ini");
  EXPECT_THAT(windows.calls, ElementsAre("GetSystemMetrics(42)", "GetModuleFileNameA(0x0, 261)",
                                         "GetModuleFileNameA(0x0, 65535)"));
}

TEST_F(SetupFilePathTest, ReadsLeadBytesOnlyWhenDoubleByteIsOn) {
  windows.leadByteRanges = kCodePage932;

  const DoubleByteInfo off = ReadDoubleByteInfo();
  EXPECT_FALSE(off.enabled);
  EXPECT_TRUE(off.leadBytes.none());
  EXPECT_THAT(windows.calls, ElementsAre("GetSystemMetrics(42)"));

  fake::Reset();
  windows.dbcsEnabled = 1;
  windows.leadByteRanges = kCodePage932;
  const DoubleByteInfo on = ReadDoubleByteInfo();
  EXPECT_TRUE(on.enabled);
  EXPECT_EQ(on.leadBytes, LeadBytes({{0x81, 0x9F}, {0xE0, 0xFC}}));
  EXPECT_THAT(windows.calls, ElementsAre("GetSystemMetrics(42)", "GetCPInfo(0)"));
}

TEST_F(SetupFilePathTest, LeadByteRanges) {
  struct {
    const char* name;
    std::array<std::uint8_t, 12> ranges;
    bool cpInfoSucceeds;
    std::bitset<256> expected;
  } const cases[] = {
      {"code page 932", kCodePage932, true, LeadBytes({{0x81, 0x9F}, {0xE0, 0xFC}})},
      {"stops at the first pair of zeros",
       {0x81, 0x82, 0, 0, 0xA0, 0xA1},
       true,
       LeadBytes({{0x81, 0x82}})},
      {"upper bound below lower adds nothing",
       {0x90, 0x80, 0xA0, 0xA0},
       true,
       LeadBytes({{0xA0, 0xA0}})},
      {"all six pairs",
       {1, 1, 3, 3, 5, 5, 7, 7, 9, 9, 0xF0, 0xFF},
       true,
       LeadBytes({{1, 1}, {3, 3}, {5, 5}, {7, 7}, {9, 9}, {0xF0, 0xFF}})},
      {"failing GetCPInfo leaves the set empty", kCodePage932, false, {}},
  };
  for (const auto& c : cases) {
    fake::Reset();
    windows.dbcsEnabled = 1;
    windows.leadByteRanges = c.ranges;
    windows.cpInfoSucceeds = c.cpInfoSucceeds;
    EXPECT_EQ(ReadDoubleByteInfo().leadBytes, c.expected) << c.name;
  }
}

}  // namespace
