// GCC's C++ runtime ends a program on an exception nobody catches through a "verbose" handler that
// prints the exception's type, which brings the runtime's whole name demangler (and a printf with
// floating point) into every executable. A GUI program has nowhere to print to: end the way the
// system ends a program on any fault. (Built with GCC only; other compilers' runtimes need nothing.)
#include <stdlib.h>

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    abort();
}
}  // namespace __gnu_cxx
