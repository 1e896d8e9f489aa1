// System and file commands: off, logoff, reboot, standby, copy, xcopy.
#include "base/numeric.h"
#include "engine/engine.h"

namespace torvic {
namespace {

std::uint32_t forcing(const std::string& modalitat) {
    double m = valorNumeric(modalitat);
    if (m == 1) return exitflag::Force;
    if (m == 2) return exitflag::ForceIfHung;
    if (m == 3) return exitflag::Force | exitflag::ForceIfHung;
    return 0;
}

}  // namespace

void Engine::exitRequest(std::uint32_t flags) {
    // A refused privilege or request is silent: the run goes on.
    if (platform_.esOSNT() && !platform_.activarPrivilegiApagada()) return;
    platform_.exitWindows(flags);
}

void Engine::cmdOff() {
    obtParam({1, 1});
    double accio = valorNumeric(parametresLinia[1]);
    std::uint32_t action = accio == 1   ? exitflag::Shutdown
                           : accio == 2 ? exitflag::Reboot
                           : accio == 3 ? exitflag::LogOff
                                        : exitflag::PowerOff;
    exitRequest(action | forcing(parametresLinia[0]));
}

void Engine::cmdLogoff() {
    obtParam({1});
    exitRequest(exitflag::LogOff | forcing(parametresLinia[0]));
}

void Engine::cmdReboot() {
    obtParam({1});
    exitRequest(exitflag::Reboot | forcing(parametresLinia[0]));
}

void Engine::cmdStandby() { platform_.setSystemPowerState(false, false); }

void Engine::cmdCopy() {
    obtParam({3, 3});
    if (parametresLinia[0].empty() || parametresLinia[1].empty()) {
        PError(host_, document, liniaActual, "Error en parametres del Copy", "", "");
        return;
    }
    platform_.copyFile(parametresLinia[0], parametresLinia[1]);
}

void Engine::cmdXcopy() {
    obtParam({3, 3, 3});
    platform_.xcopy(parametresLinia[0], parametresLinia[1], parametresLinia[2]);
}

}  // namespace torvic
