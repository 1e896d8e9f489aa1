#pragma once
// Typing text into the focused X window through XTest (internal to platform/).
#include <X11/Xlib.h>

#include <chrono>
#include <string>
#include <vector>

namespace torvic {

// Types characters exactly as given, in any X client. A character that the
// keyboard map holds on a key's first or second level is typed with that key
// (and Shift); any other is bound, for the time of the typing, to a spare
// key code with the same key symbol on both levels, so that no client can
// derive the other case from it. All the characters a text needs are bound
// at once (in batches when the spare codes are fewer), the batch is typed
// without pauses, and the map is put back once the X server has delivered
// the keys and the receiving window has had `settle` to read them.
class X11Typist {
public:
    explicit X11Typist(Display* display, std::chrono::milliseconds settle = std::chrono::milliseconds(300));

    // Throws RunTimeError, before anything is typed, when the display cannot
    // take the text: no XTEST, or characters off the map and no spare code.
    void check(const std::u32string& text);
    void type(const std::u32string& text);

    // How many batches the last type() needed (for tests).
    int lastBatches() const { return batches_; }

private:
    struct Key {
        KeyCode code = 0;
        bool shift = false;
    };
    void readMap();
    bool onMap(char32_t c, Key& key) const;
    std::vector<KeyCode> spareCodes() const;
    // Binds `chars` to the first spare codes, one each.
    void bind(const std::vector<char32_t>& chars, const std::vector<KeyCode>& spare);
    void restore();
    void press(Key key);

    Display* d_;
    std::chrono::milliseconds settle_;
    int minCode_ = 8, maxCode_ = 255, perCode_ = 0;
    std::vector<KeySym> map_;  // as the server had it before any binding
    KeyCode shift_ = 0;
    std::vector<KeyCode> bound_;  // the spare codes bound now
    int batches_ = 0;
};

// The key symbol X uses for a character: Latin-1 ones are their own code,
// every other is a Unicode key symbol; 0 for what no key can type.
KeySym keysymForCharacter(char32_t c);

}  // namespace torvic
