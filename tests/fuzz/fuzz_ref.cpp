// ref's selections and catalogues: the collected text and every report must
// be those of the step-by-step form, and the key index must find what a plain
// search finds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "tests/support/plain_reference.h"
#include "textcmd/ref.h"

using namespace torvic;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // catalogue \x01 prefix \x01 selection
    std::vector<std::string_view> parts = split(std::string_view(reinterpret_cast<const char*>(data), size), '\x01');
    if (parts.size() < 3) return 0;
    const std::string text(parts[0].substr(0, 2000)), prefix(parts[1].substr(0, 8)), selection(parts[2].substr(0, 200));

    std::vector<textcmd::RefError> got, expected;
    const std::string result = textcmd::extractReferences(text, prefix, selection, got);
    if (result != plain::extractReferences(text, prefix, selection, expected)) std::abort();
    if (got != expected) std::abort();

    const textcmd::LineStartIndex index(text, prefix.size() + 4);
    for (std::string_view item : split(selection, ',')) {
        const std::string key = prefix + std::string(item.substr(0, 6));
        if (index.find(key) != findFrom(text, "\r\n" + key, 1)) std::abort();
    }
    return 0;
}
