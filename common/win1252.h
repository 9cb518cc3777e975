#pragma once
// Windows-1252 text, the single-byte encoding of every Korvo file.
//
// Inside korvo_core all text is std::string holding Windows-1252 bytes, so every column and
// offset of the fixed-column formats is a byte index. Source literals are UTF-8; they are
// converted once, where they are defined, with Cp1252(). Windows convert at their boundary
// with the same two functions (Latin-1 alone is wrong for bytes 0x80-0x9F).

#include <string>
#include <string_view>

namespace korvo {

// UTF-8 -> Windows-1252. A character that Windows-1252 cannot hold becomes '?'; an invalid
// UTF-8 byte is taken as the Windows-1252 byte of the same value.
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 -> UTF-8. Every one of the 256 byte values maps to a character; the five
// bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, so the conversion round-trips all 256 bytes.
std::string Cp1252ToUtf8(std::string_view cp1252);

// How a file's bytes read as UTF-8: Windows-1252 text with accents is never valid UTF-8 with a
// multi-byte character, so a file that is (or starts with the byte-order mark) was saved as
// UTF-8 by some editor.
enum class Utf8Text {
  kNotUtf8,          // plain ASCII or Windows-1252: use the bytes as they are
  kConvertible,      // UTF-8 whose every character Windows-1252 holds
  kNotConvertible,   // UTF-8 with some character Windows-1252 lacks
};
// Classifies `bytes`; for kConvertible, `cp1252` receives the text in Windows-1252, without
// the byte-order mark.
Utf8Text ReadAsUtf8(std::string_view bytes, std::string& cp1252);

// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// Short name for converting a UTF-8 literal, as in Cp1252("Incógnita").
inline std::string Cp1252(std::string_view utf8) { return Utf8ToCp1252(utf8); }

}  // namespace korvo
