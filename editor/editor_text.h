#pragma once
// The text editor's text handling that has nothing to do with widgets: line ends between a
// file and the edit box, the bytes written by a save and the text sent to the printer.
//
// The functions work on bytes and only look at CR (0x0D) and LF (0x0A), so they serve both
// the Windows-1252 bytes of a file and UTF-8 text taken from the window.

#include <string>
#include <string_view>

namespace korvo {

// Blank lines the printer gets before the text: four CR LF pairs.
inline constexpr int kPrintLeadingLines = 4;

// The edit box keeps one LF per line end: CR LF, lone CR and lone LF all become LF, so a
// file opened and saved keeps every line and gains no empty ones.
std::string ToEditorLineEnds(std::string_view text);

// The bytes a save writes: the text with CR LF line ends, followed by one more CR LF when
// `finalLineEnd` (a text typed afresh, or a file opened that ended with a line end: the box
// shows it without that last one, so opening and saving gives back the same bytes).
std::string FileTextForSave(std::string_view editorText, bool finalLineEnd = true);

// The text of one printed copy: four CR LF pairs, then the whole text with CR LF line ends.
std::string PrintCopyText(std::string_view editorText);

}  // namespace korvo
