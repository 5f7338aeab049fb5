// The folder the running program was started from, so an installed program can find what
// was installed beside it (../share/kra from its bin/).
#pragma once

#include <string>

// The absolute folder of the executable, ending in '/'; "" when the system cannot tell.
std::string ExecutableDir();
