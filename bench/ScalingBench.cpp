// How the directory-part scan and the registry read grow with their input:
// time per byte should stay flat from the shortest input to the longest.
#include <benchmark/benchmark.h>

#include <string>

#include "AppManagerLookup.h"
#include "FakePlatform.h"
#include "SetupFilePath.h"

namespace {

DoubleByteInfo CodePage932() {
  DoubleByteInfo info;
  info.enabled = true;
  for (unsigned byte = 0x81; byte <= 0x9F; ++byte) info.leadBytes.set(byte);
  for (unsigned byte = 0xE0; byte <= 0xFC; ++byte) info.leadBytes.set(byte);
  return info;
}

// A module path of the given length made of characters whose second byte is
// 0x5C: every backslash byte gets the trail-byte test, the scan's worst case.
std::string DoubleBytePath(std::size_t length) {
  std::string path = "C:\\";
  while (path.size() + 2 <= length) path += "\x95\\";
  path.resize(length, 'a');
  return path;
}

void DirectoryPartScan(benchmark::State& state) {
  const DoubleByteInfo info = CodePage932();
  const std::string path = DoubleBytePath(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(DirectoryPart(path, info));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(DirectoryPartScan)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(32 << 10);

void RegistryRead(benchmark::State& state) {
  fake::Reset();
  fake::World().defaultValue = fake::RegistryValue{
      platform::kRegSz, std::string(static_cast<std::size_t>(state.range(0)), 'p')};
  for (auto _ : state) {
    fake::World().calls.clear();
    benchmark::DoNotOptimize(FindAppManagerPath());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(RegistryRead)->RangeMultiplier(8)->Range(1, 1 << 20);

}  // namespace

BENCHMARK_MAIN();
