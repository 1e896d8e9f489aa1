// System and file commands: off, logoff, reboot, standby, copy, xcopy.
#include "base/numeric.h"
#include "engine/commands.h"
#include "platform/platform.h"
#include "textcmd/document.h"

namespace torvic {

using enum ParamKind;

namespace {

std::uint32_t forcing(const std::string& modalitat) {
    double m = valorNumeric(modalitat);
    if (m == 1) return exitflag::Force;
    if (m == 2) return exitflag::ForceIfHung;
    if (m == 3) return exitflag::Force | exitflag::ForceIfHung;
    return 0;
}

void exitRequest(Platform& platform, std::uint32_t flags) {
    // A refused privilege or request is silent: the run goes on.
    if (platform.esOSNT() && !platform.activarPrivilegiApagada()) return;
    platform.exitWindows(flags);
}

}  // namespace

void cmdOff(RunContext& ctx) {
    ctx.obtParam({Plain, Plain});
    double accio = valorNumeric(ctx.parametresLinia[1]);
    std::uint32_t action = accio == 1   ? exitflag::Shutdown
                           : accio == 2 ? exitflag::Reboot
                           : accio == 3 ? exitflag::LogOff
                                        : exitflag::PowerOff;
    exitRequest(ctx.platform, action | forcing(ctx.parametresLinia[0]));
}

void cmdLogoff(RunContext& ctx) {
    ctx.obtParam({Plain});
    exitRequest(ctx.platform, exitflag::LogOff | forcing(ctx.parametresLinia[0]));
}

void cmdReboot(RunContext& ctx) {
    ctx.obtParam({Plain});
    exitRequest(ctx.platform, exitflag::Reboot | forcing(ctx.parametresLinia[0]));
}

void cmdStandby(RunContext& ctx) { ctx.platform.setSystemPowerState(false, false); }

void cmdCopy(RunContext& ctx) {
    ctx.obtParam({Text, Text});
    if (ctx.parametresLinia[0].empty() || ctx.parametresLinia[1].empty()) {
        PError(ctx.dialogs, ctx.document, ctx.liniaActual, "Error en parametres del Copy", "", "");
        return;
    }
    ctx.platform.copyFile(ctx.parametresLinia[0], ctx.parametresLinia[1]);
}

void cmdXcopy(RunContext& ctx) {
    ctx.obtParam({Text, Text, Text});
    ctx.platform.xcopy(ctx.parametresLinia[0], ctx.parametresLinia[1], ctx.parametresLinia[2]);
}

}  // namespace torvic
