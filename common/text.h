#pragma once
// Line ends and fixed columns: the conventions of every Korvo text file.

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// Every file Korvo writes ends its lines with CR LF.
inline constexpr std::string_view kCrLf = "\r\n";

// Turns lone LF and lone CR line ends into CR LF; CR LF pairs stay as they are.
std::string NormalizeToCrLf(std::string_view text);

// The lines of a text, without their ends (CR LF, LF or CR). A final line end does not
// start an extra empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Right-aligns text in a field of the given width by putting blanks before it. A text
// already as long as the field or longer is returned whole: callers that must not overflow
// a column check FitsWidth first.
std::string PadLeft(std::string_view text, std::size_t width);

// Left-aligns text in a field by putting blanks after it; longer texts are returned whole.
std::string PadRight(std::string_view text, std::size_t width);

inline bool FitsWidth(std::string_view text, std::size_t width) { return text.size() <= width; }

// The field of `width` bytes at 0-based `offset`; shorter (possibly empty) where the text ends.
// Never reads past the end.
std::string_view FieldAt(std::string_view text, std::size_t offset, std::size_t width);

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view text, char from, char to);

// Builds a text from many pieces without quadratic copying: append, then take the string.
class TextBuilder {
 public:
  explicit TextBuilder(std::size_t reserveBytes = 0) { text_.reserve(reserveBytes); }
  TextBuilder& operator<<(std::string_view piece) {
    text_.append(piece);
    return *this;
  }
  TextBuilder& operator<<(char c) {
    text_.push_back(c);
    return *this;
  }
  TextBuilder& Line(std::string_view piece = {}) {
    text_.append(piece);
    text_.append(kCrLf);
    return *this;
  }
  std::size_t size() const { return text_.size(); }
  const std::string& str() const& { return text_; }
  std::string str() && { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace korvo
