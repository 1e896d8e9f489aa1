#pragma once
// A keyboard map of the program's own for a Wayland virtual keyboard
// (internal to platform/linux/): it holds exactly the key symbols a text
// needs, one key each, so that any character types whatever map the user's
// keyboard has. Written as the xkb text the compositor takes.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace torvic {

// xkb key codes 9..255 (Wayland's codes are 8 less); the first three hold
// Shift, Control and Alt, the rest one key symbol each.
inline constexpr std::uint32_t kShiftCode = 9, kControlCode = 10, kAltCode = 11, kFirstSymbolCode = 12;
inline constexpr std::size_t kKeymapCapacity = 255 - kFirstSymbolCode + 1;
// The modifier masks of that map (xkb's real modifiers Shift, Control, Mod1).
inline constexpr std::uint32_t kShiftMask = 1u << 0, kControlMask = 1u << 2, kAltMask = 1u << 3;

struct OwnKeymap {
    std::string text;                             // the xkb keymap
    std::map<std::uint32_t, std::uint32_t> code;  // key symbol -> xkb key code
};

// At most kKeymapCapacity distinct key symbols, each on a key of its own.
OwnKeymap buildKeymap(const std::vector<std::uint32_t>& keysyms);

}  // namespace torvic
