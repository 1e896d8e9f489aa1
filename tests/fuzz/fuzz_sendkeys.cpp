// The key notation: strokes stay in proportion to the notation, every stroke
// types something, and plain characters come back as typed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/errors.h"
#include "platform/sendkeys.h"

using namespace torvic;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string keys(reinterpret_cast<const char*>(data), size);
    std::vector<KeyStroke> strokes;
    try {
        strokes = parseSendKeys(keys);
    } catch (const RunTimeError&) {
        return 0;
    }
    if (strokes.size() > keys.size()) std::abort();
    std::size_t textBytes = 0;
    for (const KeyStroke& k : strokes) {
        if (k.repeat < 1 || k.repeat > 99999) std::abort();
        if (k.key.empty() == k.text.empty()) std::abort();  // a named key or characters, never both or neither
        if (k.modifiers.size() > keys.size()) std::abort();
        textBytes += k.text.size();
    }
    if (textBytes > keys.size()) std::abort();
    if (keys.find_first_of("+^%~(){}[]") == std::string::npos) {
        std::string typed;
        for (const KeyStroke& k : strokes) typed += k.text;
        if (typed != keys) std::abort();
    }
    return 0;
}
