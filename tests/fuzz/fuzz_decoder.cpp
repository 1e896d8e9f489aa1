// The script decoder on arbitrary headers: loading any text never fails
// unsoundly, and encoding then decoding gives every text back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/encoding.h"
#include "tests/support/scripted_host.h"

using namespace torvic;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Any editor text, encoded or not, as a run loads it.
    static test::Rig rig;
    const Engine::LoadResult loaded = rig.engine.loadLines(input);
    if (loaded == Engine::LoadResult::Loaded &&
        (rig.engine.run.nombreLinies < 0 || rig.engine.run.nombreLinies > kMaxScriptLines))
        std::abort();

    // key \x01 text: a round trip for every key of 1 to 225 characters and
    // every text of codes below 246; keys of codes below 245 read back.
    const std::size_t cut = input.find('\x01');
    if (cut == std::string::npos || cut == 0 || cut > 225) return 0;
    const std::string key = input.substr(0, cut);
    std::string text = input.substr(cut + 1);
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) % 246);
    const std::string encoded = codificaText(key, text);
    if (encoded.size() != 5 + key.size() + text.size()) std::abort();
    if (descodificaText(key, encoded) != text) std::abort();
    bool readable = true;
    for (char c : key) readable = readable && static_cast<unsigned char>(c) < 245;
    if (readable && extreuClau(encoded) != key) std::abort();
    return 0;
}
