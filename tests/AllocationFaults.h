// Makes one chosen allocation of the code under test throw std::bad_alloc,
// as exhausted memory would. Replaces the global operator new.
#pragma once

#include <cstddef>

namespace allocation_faults {

// From now on, count allocations and let the one numbered failAt (from 1)
// throw, after calling onFault; 0 counts without failing.
void Arm(std::size_t failAt, void (*onFault)() = nullptr);
// Stops counting and failing.
void Disarm();
// Allocations counted since Arm.
std::size_t Counted();
// Whether the armed fault has fired.
bool Fired();

// Allocations made while a Pause exists are neither counted nor failed: the
// fake Windows records calls with them, which is no part of the code under test.
class Pause {
 public:
  Pause();
  ~Pause();
  Pause(const Pause&) = delete;
  Pause& operator=(const Pause&) = delete;
};

}  // namespace allocation_faults
