#pragma once
#include "platform/platform.h"

namespace torvic {

class LinuxPlatform : public Platform {
public:
    DateTime now() override;
    // The terminal bell on standard error when that is a terminal.
    void beep() override;
};

}  // namespace torvic
