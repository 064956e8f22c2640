// Entry point of the Windows GUI program; the CRT passes the result to ExitProcess.
#include <cstdlib>
#include <new>

#include "Launcher.h"

// Size: the C++ library's default reports of failures pull in code that a
// GUI program cannot use and that would be most of the exe's bytes.
namespace __gnu_cxx {
// The default handler writes the failure's demangled name to a console that
// a GUI program has not; no failure reaches std::terminate here anyway.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
// A string longer than the library can hold is memory that cannot be had;
// reporting it as such avoids std::length_error and the string machinery
// behind its message.
[[noreturn]] void __throw_length_error(const char*) { throw std::bad_alloc(); }
[[noreturn]] void __throw_bad_alloc() { throw std::bad_alloc(); }
}  // namespace std

int main() { return RunLauncher(); }
