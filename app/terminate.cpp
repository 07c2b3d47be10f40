// What ends the program when an exception leaves a thread of it. The runtime's own handler would spell
// out the exception's type for a console the program does not have, and for that it carries a C++ name
// demangler: about 40 KiB of code that every start maps. Only the MinGW build, which links the runtime
// statically, takes this file.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
