// The virtual keyboard's own map, self-contained (no include of the system's
// xkb files), so that the compositor and every client read it the same way.
#include "platform/linux/wayland_keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <stdexcept>

namespace torvic {

namespace {

std::string keyName(std::uint32_t code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "<K%03u>", static_cast<unsigned>(code));
    return buf;
}

std::string symbolName(std::uint32_t keysym) {
    char buf[64];
    if (xkb_keysym_get_name(keysym, buf, sizeof buf) <= 0) std::snprintf(buf, sizeof buf, "0x%x", keysym);
    return buf;
}

}  // namespace

OwnKeymap buildKeymap(const std::vector<std::uint32_t>& keysyms) {
    if (keysyms.size() > kKeymapCapacity) throw std::length_error("too many key symbols for one keyboard map");
    OwnKeymap out;
    std::string codes, symbols;
    auto add = [&](std::uint32_t code, const std::string& body) {
        codes += "  " + keyName(code) + " = " + std::to_string(code) + ";\n";
        symbols += "  key " + keyName(code) + " { " + body + " };\n";
    };
    add(kShiftCode, "[ Shift_L ], actions[Group1] = [ SetMods(modifiers=Shift) ]");
    add(kControlCode, "[ Control_L ], actions[Group1] = [ SetMods(modifiers=Control) ]");
    add(kAltCode, "[ Alt_L ], actions[Group1] = [ SetMods(modifiers=Mod1) ]");
    std::uint32_t code = kFirstSymbolCode;
    for (std::uint32_t keysym : keysyms) {
        if (out.code.count(keysym)) continue;
        out.code[keysym] = code;
        add(code, "[ " + symbolName(keysym) + " ]");
        ++code;
    }
    out.text = "xkb_keymap {\n"
               "xkb_keycodes \"own\" {\n  minimum = 8;\n  maximum = 255;\n" + codes + "};\n"
               "xkb_types \"own\" {\n  type \"ONE_LEVEL\" { modifiers = none; level_name[Level1] = \"Any\"; };\n};\n"
               "xkb_compat \"own\" {\n};\n"
               "xkb_symbols \"own\" {\n" + symbols +
               "  modifier_map Shift { " + keyName(kShiftCode) + " };\n"
               "  modifier_map Control { " + keyName(kControlCode) + " };\n"
               "  modifier_map Mod1 { " + keyName(kAltCode) + " };\n"
               "};\n"
               "};\n";
    return out;
}

}  // namespace torvic
