#include "support/fileaccess.h"

#include <array>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quorvex::testing {

bool obeyFilePermissions() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> data{};
    if (syscall(SYS_capget, &header, data.data()) != 0) {
        return false;
    }
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[0].effective &= ~(1U << static_cast<unsigned>(capability));
    }
    return syscall(SYS_capset, &header, data.data()) == 0;
}

} // namespace quorvex::testing
