#pragma once
// The libxdo connection of the Linux platform (internal to platform/).
extern "C" {
#include <xdo.h>
}

#include "platform/linux/linux_platform.h"

namespace torvic {

struct LinuxPlatform::X11 {
    xdo_t* xdo = nullptr;
    ~X11() {
        if (xdo) xdo_free(xdo);
    }
};

}  // namespace torvic
