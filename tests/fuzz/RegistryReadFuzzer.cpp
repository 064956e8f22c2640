// Fuzzes the registry value read with random open results, value types,
// sizes and bytes, including values that change between the two queries,
// and checks what must hold for every input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "AppManagerLookup.h"
#include "FakePlatform.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

fake::RegistryValue ConsumeValue(FuzzedDataProvider& in) {
  const auto type = in.ConsumeIntegralInRange<std::uint32_t>(0, 11);
  return {type, in.ConsumeRandomLengthString(4096)};
}

std::string TextOf(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  fake::Reset();
  fake::Windows& windows = fake::World();
  windows.openResult = in.ConsumeBool() ? platform::kErrorSuccess : fake::kErrorAccessDenied;
  if (in.ConsumeBool()) windows.defaultValue = ConsumeValue(in);
  if (in.ConsumeBool()) windows.defaultValueAtDataQuery = ConsumeValue(in);
  if (in.ConsumeBool()) {
    // A small size, or one that is negative as a signed count.
    windows.reportedSize = in.ConsumeBool()
                               ? in.ConsumeIntegralInRange<std::uint32_t>(0, 8192)
                               : in.ConsumeIntegralInRange<std::uint32_t>(0x80000000u, 0xFFFFFFFFu);
  }

  const std::string result = FindAppManagerPath();

  Check(result.find('\0') == std::string::npos);
  Check(windows.openKeys.empty());
  const auto closes = std::count_if(windows.calls.begin(), windows.calls.end(),
                                    [](auto& call) { return call.rfind("RegCloseKey(", 0) == 0; });
  Check(closes == (windows.openResult == platform::kErrorSuccess ? 1 : 0));

  // Either the whole text of what the data query delivered, or nothing.
  const bool opened = windows.openResult == platform::kErrorSuccess;
  const auto& delivered =
      windows.defaultValueAtDataQuery ? windows.defaultValueAtDataQuery : windows.defaultValue;
  if (!opened || !windows.defaultValue || !delivered) {
    Check(result.empty());
    return 0;
  }
  const auto reported = windows.reportedSize.value_or(windows.defaultValue->bytes.size());
  const bool sized = static_cast<std::int32_t>(reported) > 0;
  const bool fits = delivered->bytes.size() <= reported;
  const bool string =
      delivered->type == platform::kRegSz || delivered->type == platform::kRegExpandSz;
  Check(result == (sized && fits && string ? TextOf(delivered->bytes) : std::string()));
  return 0;
}
