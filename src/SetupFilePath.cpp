#include "SetupFilePath.h"

#include <algorithm>
#include <cstdint>

#include "platform/Platform.h"

namespace {

constexpr std::uint32_t kModulePathBuffer = 261;  // MAX_PATH and its terminator
// 32,767 characters of up to two bytes each in a double-byte code page, and
// the terminator: the longest path that Windows reports.
constexpr std::uint32_t kLongestModulePathBuffer = 2 * 32767 + 1;

bool IsDelimiter(char byte) { return byte == '\\' || byte == ':'; }

std::string FetchModulePath() {
  std::string path(kModulePathBuffer, '\0');
  std::uint32_t length = platform::GetModuleFileNameA(0, path.data(), kModulePathBuffer);
  if (length >= kModulePathBuffer) {
    // A full buffer means the path was cut, and its folder would be wrong.
    path.assign(kLongestModulePathBuffer, '\0');
    length = platform::GetModuleFileNameA(0, path.data(), kLongestModulePathBuffer);
  }
  path.resize(std::min<std::size_t>(length, path.size()));
  return path;
}

// The byte at position k is a trail byte when an odd run of lead bytes
// stands right before it.
bool IsTrailByte(std::string_view path, std::size_t k, const DoubleByteInfo& doubleByte) {
  if (!doubleByte.enabled || k == 0 || path[k] == '\0') return false;
  std::size_t leadRun = 0;
  while (leadRun < k &&
         doubleByte.leadBytes.test(static_cast<unsigned char>(path[k - 1 - leadRun]))) {
    ++leadRun;
  }
  return leadRun % 2 == 1;
}

}  // namespace

DoubleByteInfo ReadDoubleByteInfo() {
  DoubleByteInfo info;
  info.enabled = platform::GetSystemMetrics(platform::kSmDbcsEnabled) != 0;
  platform::CodePageInfo codePage{};
  if (!info.enabled || !platform::GetCPInfo(platform::kCpAcp, &codePage)) return info;
  for (std::size_t pair = 0; pair < sizeof codePage.leadByte; pair += 2) {
    const unsigned lower = codePage.leadByte[pair];
    const unsigned upper = codePage.leadByte[pair + 1];
    if (lower == 0 && upper == 0) break;
    for (unsigned byte = lower; byte <= upper; ++byte) info.leadBytes.set(byte);
  }
  return info;
}

std::string_view DirectoryPart(std::string_view modulePath, const DoubleByteInfo& doubleByte) {
  std::size_t length = modulePath.size();
  while (length > 0) {
    const std::size_t last = length - 1;
    if (!IsDelimiter(modulePath[last])) {
      --length;
    } else if (IsTrailByte(modulePath, last, doubleByte)) {
      length -= 2;  // the delimiter-like trail byte and its lead byte
    } else {
      return modulePath.substr(0, length);
    }
  }
  return {};
}

std::string MakeSetupFilePath(const DoubleByteInfo& doubleByte) {
  const std::string modulePath = FetchModulePath();
  const std::string_view directory = DirectoryPart(modulePath, doubleByte);
  std::string setupFilePath;
  setupFilePath.reserve(directory.size() + 1 + kSetupFileName.size());
  setupFilePath += directory;
  if (!directory.empty() && directory.back() != '\\') setupFilePath += '\\';
  setupFilePath += kSetupFileName;
  return setupFilePath;
}
