#include "platform/linux/x11_typist.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <thread>

#include "base/errors.h"
#include "platform/platform_texts.h"

namespace torvic {

KeySym keysymForCharacter(char32_t c) {
    switch (c) {
        case U'\r':
        case U'\n': return XK_Return;
        case U'\t': return XK_Tab;
        case U'\b': return XK_BackSpace;
        case 0x1B: return XK_Escape;
        default: break;
    }
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return 0;  // controls
    if (c < 0x100) return c;
    return 0x01000000 | c;
}

X11Typist::X11Typist(Display* display, std::chrono::milliseconds settle) : d_(display), settle_(settle) {}

void X11Typist::readMap() {
    XDisplayKeycodes(d_, &minCode_, &maxCode_);
    KeySym* syms = XGetKeyboardMapping(d_, static_cast<KeyCode>(minCode_), maxCode_ - minCode_ + 1, &perCode_);
    map_.assign(syms, syms + static_cast<std::size_t>(maxCode_ - minCode_ + 1) * static_cast<std::size_t>(perCode_));
    XFree(syms);
    shift_ = XKeysymToKeycode(d_, XK_Shift_L);
}

bool X11Typist::onMap(char32_t c, Key& key) const {
    const KeySym wanted = keysymForCharacter(c);
    const KeySym unicode = 0x01000000 | c;
    // The first level first (no modifier), then the second with Shift.
    for (int level = 0; level < std::min(perCode_, 2); ++level) {
        if (level == 1 && !shift_) break;
        for (int code = minCode_; code <= maxCode_; ++code) {
            const KeySym ks = map_[static_cast<std::size_t>((code - minCode_) * perCode_ + level)];
            if (ks != NoSymbol && (ks == wanted || ks == unicode)) {
                key = {static_cast<KeyCode>(code), level == 1};
                return true;
            }
        }
    }
    return false;
}

std::vector<KeyCode> X11Typist::spareCodes() const {
    std::vector<KeyCode> out;
    for (int code = minCode_; code <= maxCode_; ++code) {
        const auto first = map_.begin() + (code - minCode_) * perCode_;
        if (std::all_of(first, first + perCode_, [](KeySym ks) { return ks == NoSymbol; }))
            out.push_back(static_cast<KeyCode>(code));
    }
    return out;
}

void X11Typist::check(const std::u32string& text) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d_, &event, &error, &major, &minor))
        throw RunTimeError(platform_texts::noXtest());
    readMap();
    const std::vector<KeyCode> spare = spareCodes();
    for (char32_t c : text) {
        if (!keysymForCharacter(c)) continue;
        Key key;
        if (!onMap(c, key) && spare.empty())
            throw RunTimeError(platform_texts::noSpareKeyCode());
    }
}

void X11Typist::bind(const std::vector<char32_t>& chars, const std::vector<KeyCode>& spare) {
    // Only the spare codes change, each with the symbol on both levels;
    // rewriting other keys through the core protocol would alter their
    // keyboard description.
    for (std::size_t i = 0; i < chars.size(); ++i) {
        KeySym both[2] = {keysymForCharacter(chars[i]), keysymForCharacter(chars[i])};
        XChangeKeyboardMapping(d_, spare[i], 2, both, 1);
    }
    bound_.assign(spare.begin(), spare.begin() + static_cast<std::ptrdiff_t>(chars.size()));
    XSync(d_, False);
}

void X11Typist::restore() {
    if (bound_.empty()) return;
    // Whatever the clients have not read yet must still find the bound
    // symbols: the keys are delivered (XSync), then they get time to read.
    XSync(d_, False);
    std::this_thread::sleep_for(settle_);
    KeySym none = NoSymbol;
    for (KeyCode code : bound_) XChangeKeyboardMapping(d_, code, 1, &none, 1);
    XSync(d_, False);
    bound_.clear();
}

void X11Typist::press(Key key) {
    if (key.shift) XTestFakeKeyEvent(d_, shift_, True, CurrentTime);
    XTestFakeKeyEvent(d_, key.code, True, CurrentTime);
    XTestFakeKeyEvent(d_, key.code, False, CurrentTime);
    if (key.shift) XTestFakeKeyEvent(d_, shift_, False, CurrentTime);
}

void X11Typist::type(const std::u32string& text) {
    check(text);
    const std::vector<KeyCode> spare = spareCodes();
    batches_ = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        // The longest stretch whose characters off the map fit the spare codes.
        std::vector<char32_t> bound;
        std::size_t end = start;
        for (; end < text.size(); ++end) {
            const char32_t c = text[end];
            Key key;
            if (!keysymForCharacter(c) || onMap(c, key) || std::find(bound.begin(), bound.end(), c) != bound.end())
                continue;
            if (bound.size() == spare.size()) break;
            bound.push_back(c);
        }
        bind(bound, spare);
        ++batches_;
        for (std::size_t i = start; i < end; ++i) {
            const char32_t c = text[i];
            if (!keysymForCharacter(c) || (c == U'\n' && i > 0 && text[i - 1] == U'\r')) continue;  // CR LF: one Enter
            Key key;
            if (!onMap(c, key)) {
                const auto at = std::find(bound.begin(), bound.end(), c) - bound.begin();
                key = {spare[static_cast<std::size_t>(at)], false};
            }
            press(key);
        }
        restore();
        start = end;
    }
    XSync(d_, False);
}

}  // namespace torvic
