#include "script/working_text.h"

#include <algorithm>
#include <limits>

#include "base/cp1252.h"

namespace torvic {

std::string TextDocument::fromScript(std::string_view text1252) const {
    return utf8() ? cp1252::toUtf8(text1252) : std::string(text1252);
}

std::string TextDocument::toScript(std::string_view text) const {
    return utf8() ? utf8To1252(text) : std::string(text);
}

std::int32_t TextDocument::bytePosition(std::int32_t charPosition) const {
    if (!utf8() || charPosition <= 1) return charPosition;
    const std::size_t chars = static_cast<std::size_t>(charPosition) - 1;
    const std::size_t at = utf8Advance(textTreball, 0, chars);
    if (at < textTreball.size()) return static_cast<std::int32_t>(at + 1);
    // At or past the end: as far past the end in bytes as in characters.
    const long long past = static_cast<long long>(chars) - static_cast<long long>(utf8Length(textTreball));
    const long long bytes = static_cast<long long>(textTreball.size()) + 1 + past;
    return static_cast<std::int32_t>(std::min<long long>(bytes, std::numeric_limits<std::int32_t>::max()));
}

double TextDocument::characterPosition(double bytePosition) const {
    if (!utf8() || bytePosition <= 1) return bytePosition;
    const double size = static_cast<double>(textTreball.size());
    const std::size_t inText = bytePosition > size + 1 ? textTreball.size() : static_cast<std::size_t>(bytePosition) - 1;
    return static_cast<double>(utf8Length(std::string_view(textTreball).substr(0, inText))) + 1 +
           (bytePosition - 1 - static_cast<double>(inText));
}

}  // namespace torvic
