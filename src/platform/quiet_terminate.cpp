// The C++ library's default answer to an exception nothing caught prints its
// demangled type on standard error, which a windowed program does not have,
// and then aborts; the demangler behind it is some 45 KB of each program.
// This one only aborts. Every entry point catches what it calls (the
// application object, the window and dialog procedures, threads), so it is
// reached only where the language itself calls terminate.
//
// Linked as an object file into each program, never from a library: the
// library's handler is looked up while its own archive is searched, after
// ours.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
