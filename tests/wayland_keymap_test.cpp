// The virtual keyboard's own map, as xkbcommon (the compositor's and every
// client's reader) reads it.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <vector>

#include "base/cp1252.h"
#include "platform/linux/wayland_keymap.h"

namespace torvic {
namespace {

struct Compiled {
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES),
                                                                       &xkb_context_unref};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap{nullptr, &xkb_keymap_unref};
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{nullptr, &xkb_state_unref};
    explicit Compiled(const std::string& text) {
        keymap.reset(xkb_keymap_new_from_string(context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (keymap) state.reset(xkb_state_new(keymap.get()));
    }
};

// Every character of code page 1252 and the named keys send uses.
std::vector<std::uint32_t> everySymbol() {
    std::vector<std::uint32_t> out;
    for (int b = 0x20; b <= 0xff; ++b) {
        char32_t c = cp1252::toUnicode(static_cast<unsigned char>(b));
        std::uint32_t sym = xkb_utf32_to_keysym(c);
        if (sym != XKB_KEY_NoSymbol && c != 0x7f) out.push_back(sym);
    }
    for (const char* name : {"Return", "Tab", "BackSpace", "Left", "F4", "F12", "Home", "Delete", "Escape", "Prior"})
        out.push_back(xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS));
    return out;
}

// Each key symbol on a key of its own types itself (never another case).
TEST(WaylandKeymap, EveryCharacterAndNamedKeyTypesItselfWithNoModifier) {
    const std::vector<std::uint32_t> syms = everySymbol();
    ASSERT_LE(syms.size(), kKeymapCapacity);
    OwnKeymap map = buildKeymap(syms);
    Compiled c(map.text);
    ASSERT_TRUE(c.keymap) << map.text;
    ASSERT_EQ(map.code.size(), syms.size());
    for (std::uint32_t sym : syms) {
        const std::uint32_t code = map.code.at(sym);
        const xkb_keysym_t* got = nullptr;
        ASSERT_EQ(xkb_state_key_get_syms(c.state.get(), code, &got), 1) << std::hex << sym;
        EXPECT_EQ(got[0], sym) << std::hex << sym;
        if (const std::uint32_t utf32 = xkb_keysym_to_utf32(sym); utf32 >= 0x20) {
            EXPECT_EQ(xkb_state_key_get_utf32(c.state.get(), code), utf32) << std::hex << sym;
        }
    }
}

// The modifier keys set the masks send gives for Shift, Control and Alt.
TEST(WaylandKeymap, ModifierKeysSetTheMasksSendUses) {
    OwnKeymap map = buildKeymap({XKB_KEY_a});
    Compiled c(map.text);
    ASSERT_TRUE(c.keymap);
    const struct { std::uint32_t code, mask; const char* name; } cases[] = {
        {kShiftCode, kShiftMask, XKB_MOD_NAME_SHIFT}, {kControlCode, kControlMask, XKB_MOD_NAME_CTRL},
        {kAltCode, kAltMask, XKB_MOD_NAME_ALT}};
    for (const auto& m : cases) {
        EXPECT_EQ(1u << xkb_keymap_mod_get_index(c.keymap.get(), m.name), m.mask) << m.name;
        xkb_state_update_key(c.state.get(), m.code, XKB_KEY_DOWN);
        EXPECT_EQ(xkb_state_serialize_mods(c.state.get(), XKB_STATE_MODS_DEPRESSED), m.mask) << m.name;
        xkb_state_update_key(c.state.get(), m.code, XKB_KEY_UP);
        EXPECT_EQ(xkb_state_serialize_mods(c.state.get(), XKB_STATE_MODS_DEPRESSED), 0u) << m.name;
    }
}

// A full map takes as many key symbols as it promises and refuses one more.
TEST(WaylandKeymap, AFullMapTakesItsCapacityAndRefusesMore) {
    std::vector<std::uint32_t> syms;
    for (std::uint32_t i = 0; i < kKeymapCapacity; ++i) syms.push_back(0x1000100 + i);  // Unicode key symbols
    OwnKeymap map = buildKeymap(syms);
    Compiled c(map.text);
    ASSERT_TRUE(c.keymap);
    EXPECT_EQ(map.code.at(syms.back()), 255u);
    syms.push_back(0x1000100 + kKeymapCapacity);
    EXPECT_THROW(buildKeymap(syms), std::length_error);
}

}  // namespace
}  // namespace torvic
