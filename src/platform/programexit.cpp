#include "platform/programexit.h"

#include <cstdio>
#include <cstdlib>

namespace quorvex {

void ProcessExit::exitNow() {
    std::fflush(nullptr);
    std::quick_exit(EXIT_SUCCESS);
}

} // namespace quorvex
