// Fuzzes the directory-part scan with random module path bytes, random
// lead-byte ranges and the double-byte flag on and off, and checks what must
// hold for every input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakePlatform.h"
#include "SetupFilePath.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

bool IsDelimiter(char byte) { return byte == '\\' || byte == ':'; }

// The definition of a trail byte, position by position: an odd number of
// lead bytes stands directly before it.
bool IsTrailByteByDefinition(const std::string& path, std::size_t k, const DoubleByteInfo& info) {
  if (!info.enabled || k == 0 || path[k] == '\0') return false;
  std::size_t run = 0;
  for (std::size_t i = k; i > 0 && info.leadBytes.test(static_cast<unsigned char>(path[i - 1]));
       --i) {
    ++run;
  }
  return run % 2 == 1;
}

}  // namespace

// Input: a flags byte (bit 0: double-byte on; bit 1: GetCPInfo fails), 12
// bytes of lead-byte ranges, then the module path.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 13) return 0;
  fake::Reset();
  fake::Windows& windows = fake::World();
  windows.dbcsEnabled = data[0] & 1;
  windows.cpInfoSucceeds = (data[0] & 2) == 0;
  std::copy(data + 1, data + 13, windows.leadByteRanges.begin());
  windows.modulePath.assign(reinterpret_cast<const char*>(data + 13), size - 13);
  const std::string& path = windows.modulePath;

  const DoubleByteInfo info = ReadDoubleByteInfo();
  Check(info.enabled == (windows.dbcsEnabled != 0));
  Check(info.enabled && windows.cpInfoSucceeds ? true : info.leadBytes.none());

  // The directory part is a prefix of the module path that ends with a
  // delimiter which is no trail byte.
  const std::string_view directory = DirectoryPart(path, info);
  Check(path.compare(0, directory.size(), directory) == 0);
  if (!directory.empty()) {
    Check(IsDelimiter(directory.back()));
    Check(!IsTrailByteByDefinition(path, directory.size() - 1, info));
  }
  // After it, every delimiter is a trail byte, or the lead byte of a
  // delimiter that is one.
  for (std::size_t j = directory.size(); j < path.size(); ++j) {
    if (!IsDelimiter(path[j])) continue;
    const bool passedOver = j + 1 < path.size() && IsDelimiter(path[j + 1]) &&
                            IsTrailByteByDefinition(path, j + 1, info);
    Check(IsTrailByteByDefinition(path, j, info) || passedOver);
    Check(info.enabled);
  }

  // The result: the directory part, at most one separator, the file name.
  const std::string result = MakeSetupFilePath(info);
  const bool separator = !directory.empty() && directory.back() != '\\';
  Check(result == std::string(directory) + (separator ? "\\" : "") + std::string(kSetupFileName));
  return 0;
}
