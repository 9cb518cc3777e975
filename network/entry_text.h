#pragma once
// The text side of the entry windows, without any widget: finding the entry under the caret
// of a list, decoding it back into field texts, replacing it, and mapping caret positions of
// a list display (where CR LF is one character) to byte offsets of its section text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "network/project_lines.h"

namespace korvo {

// Bytes per entry of each list, line breaks included: one 106-character line plus CR LF for
// vertices and classical observations; a three-line block for GPS baselines.
inline constexpr std::size_t kVertexEntryStride = kVertexLineLength + 2;        // 108
inline constexpr std::size_t kClassicalEntryStride = kClassicalLineLength + 2;  // 108
inline constexpr std::size_t kGpsEntryStride = kGpsBlockLength;                 // 326

// The entry that holds byte `offset` of a section text: its 0-based index and the entry text.
// Nothing when the offset lies past the last complete entry.
struct ListEntry {
  std::size_t index = 0;
  std::string_view text;
};
std::optional<ListEntry> EntryAtOffset(std::string_view sectionText, std::size_t offset, std::size_t stride);

// Puts `replacement` in place of entry `index`; false (and nothing changed) when the section
// text has no complete entry there.
bool ReplaceEntry(std::string& sectionText, std::size_t index, std::size_t stride, std::string_view replacement);

// A numeric field as the entry windows show it after a list click: the number read and
// written back in the short general form ("4929334.120" -> "4929334.12"), any "," as ".".
std::string ShortFieldText(std::string_view field);

// Decoding of one entry at the columns of the project file. Numeric fields come back in the
// short form; kind and type words as they stand.
VertexLineFields DecodeVertexEntry(std::string_view entry);
ClassicalLineFields DecodeClassicalEntry(std::string_view entry);
GpsBlockFields DecodeGpsEntry(std::string_view entry);

// Whether the entry begins with its record keyword ("Punto", a type word, "Línea base GPS").
bool IsVertexEntry(std::string_view entry);
bool IsClassicalEntry(std::string_view entry);
bool IsGpsEntry(std::string_view entry);

// Caret mapping between a list display and its section text: the display shows every CR LF
// as one line break, so display position and byte offset differ by the CR LF pairs before.
std::size_t ByteOffsetOfDisplayPosition(std::string_view sectionText, std::size_t displayPosition);
std::size_t DisplayPositionOfByteOffset(std::string_view sectionText, std::size_t byteOffset);

// The section text as the list shows it: CR LF pairs become single line feeds.
std::string DisplayText(std::string_view sectionText);

bool ContainsComma(std::string_view text);

// Shown when MODIFICAR finds no entry at the remembered place any more (Windows-1252).
std::string MissingEntryMessage();

}  // namespace korvo
