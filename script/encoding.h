#pragma once
// Scripts encoded with a key: a header ("$%& ", the key's length + 30, the
// key shifted by 10) and the text shifted by the key's sum and mixed with
// the key's characters. A stored format: encoded files must keep decoding
// byte for byte. Texts are code page 1252 bytes.
#include <string>
#include <string_view>

namespace torvic {

// The marker at the start of an encoded script.
inline constexpr std::string_view kEncodedMarker = "$%& ";

// The shift of a key: the sum of its codes modulo 10, plus 1 (1 to 10).
int sumaClau(std::string_view clau);

// The encoded text; `clau` is not empty (at most 225 characters).
std::string codificaText(std::string_view clau, std::string_view text);

// The key held in an encoded text, or an empty text when it does not begin
// with "$%& " (or its length character is below 30: no key can be read).
std::string extreuClau(std::string_view text);

// Undoes codificaText with `clau`, without looking at the header's own key;
// empty when the key is empty.
std::string descodificaText(std::string_view clau, std::string_view text);

}  // namespace torvic
