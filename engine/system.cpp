// System and file commands: off, logoff, reboot, standby, copy, xcopy.
#include "base/numeric.h"
#include "engine/commands.h"
#include "platform/platform.h"
#include "script/working_text.h"
#include "textcmd/commands.h"

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

static void cmdOff(RunContext& ctx) {
    ctx.obtParam({Plain, Plain});
    double accio = valorNumeric(ctx.param(1));
    std::uint32_t action = accio == 1   ? exitflag::Shutdown
                           : accio == 2 ? exitflag::Reboot
                           : accio == 3 ? exitflag::LogOff
                                        : exitflag::PowerOff;
    exitRequest(ctx.platform, action | forcing(ctx.param(0)));
}

static void cmdLogoff(RunContext& ctx) {
    ctx.obtParam({Plain});
    exitRequest(ctx.platform, exitflag::LogOff | forcing(ctx.param(0)));
}

static void cmdReboot(RunContext& ctx) {
    ctx.obtParam({Plain});
    exitRequest(ctx.platform, exitflag::Reboot | forcing(ctx.param(0)));
}

static void cmdStandby(RunContext& ctx) { ctx.platform.setSystemPowerState(false, false); }

static void cmdCopy(RunContext& ctx) {
    ctx.obtParam({Text, Text});
    if (ctx.param(0).empty() || ctx.param(1).empty()) {
        PError(ctx.dialogs, ctx.document, ctx.liniaActual, "Error en parametres del Copy", "", "");
        return;
    }
    ctx.platform.copyFile(ctx.param(0), ctx.param(1));
}

static void cmdXcopy(RunContext& ctx) {
    ctx.obtParam({Text, Text, Text});
    ctx.platform.xcopy(ctx.param(0), ctx.param(1), ctx.param(2));
}


std::span<const CommandRow> systemCommands() {
    static const CommandRow rows[] = {
    {"off", cmdOff, "off(modalitat,acció)",
     "Apaga, reinicia o tanca la sessió segons l'acció; modalitat 1 força el tancament dels programes, 2 el dels que no responen, 3 tots dos. Sense paràmetres, apaga.",
     "off(1,1)"},
    {"logoff", cmdLogoff, "logoff(modalitat)",
     "Tanca la sessió de l'usuari; modalitat com a off.",
     "logoff()"},
    {"reboot", cmdReboot, "reboot(modalitat)",
     "Reinicia l'ordinador; modalitat com a off.",
     "reboot(1)"},
    {"standby", cmdStandby, "standby()",
     "Posa l'ordinador en suspensió.",
     "standby()"},
    {"copy", cmdCopy, "copy(\"origen\",\"destí\")",
     "Copia un fitxer; si el destí existeix, el substitueix.",
     "copy(\"dades.txt\",\"còpia.txt\")"},
    {"xcopy", cmdXcopy, "xcopy(\"fitxer1\",\"fitxer2\",\"parametres\")",
     "Copia carpetes en segon pla; /s i /e inclouen les subcarpetes.",
     "xcopy(\"dades\",\"còpia\",\"/s /e\")"},
    };
    return rows;
}

}  // namespace torvic
