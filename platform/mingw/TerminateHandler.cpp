// The extender's own terminate handler, linked into the DLL in place of the runtime's verbose
// one. The verbose handler prints the demangled type of an uncaught exception to stderr, and
// its demangler (70 KB) is nearly a quarter of the statically linked DLL. The extender lets no
// exception reach the host, and a DLL loaded by an interpreter has no console to print to: if
// terminate is ever reached, aborting is what matters, and that is what both handlers do.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
