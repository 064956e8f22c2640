#include "AllocationFaults.h"

#include <cstdlib>
#include <new>

namespace allocation_faults {
namespace {
bool armed = false;
std::size_t failAtNumber = 0;
void (*faultHook)() = nullptr;
std::size_t counted = 0;
bool fired = false;
int pauseDepth = 0;
}  // namespace

void Arm(std::size_t failAt, void (*onFault)()) {
  armed = true;
  failAtNumber = failAt;
  faultHook = onFault;
  counted = 0;
  fired = false;
}
void Disarm() { armed = false; }
std::size_t Counted() { return counted; }
bool Fired() { return fired; }

Pause::Pause() { ++pauseDepth; }
Pause::~Pause() { --pauseDepth; }

}  // namespace allocation_faults

namespace {
void* Allocate(std::size_t size) {
  using namespace allocation_faults;
  if (armed && pauseDepth == 0 && ++counted == failAtNumber) {
    fired = true;
    if (faultHook != nullptr) {
      Pause pause;
      faultHook();
    }
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
// The non-throwing forms must come from the same allocator as the delete
// above; the code under test does not use them.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
