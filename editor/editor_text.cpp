#include "editor/editor_text.h"

#include "common/text.h"

namespace korvo {

std::string ToEditorLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string FileTextForSave(std::string_view editorText, bool finalLineEnd) {
  std::string bytes = NormalizeToCrLf(editorText);
  if (finalLineEnd) bytes.append(kCrLf);
  return bytes;
}

std::string PrintCopyText(std::string_view editorText) {
  TextBuilder builder(editorText.size() + editorText.size() / 16 + 2 * kPrintLeadingLines);
  for (int line = 0; line < kPrintLeadingLines; ++line) builder << kCrLf;
  builder << NormalizeToCrLf(editorText);
  return std::move(builder).str();
}

}  // namespace korvo
