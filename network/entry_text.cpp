#include "network/entry_text.h"

#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/network_model.h"

namespace korvo {
namespace {

// The kind stands between "(" and ")" somewhere in columns 10 to 23 of a vertex line.
constexpr std::size_t kKindSearchOffset = 9;
constexpr std::size_t kKindSearchWidth = 14;
constexpr std::size_t kClassicalTypeWidth = 10;
// Classical fields, 0-based from the first byte of the line.
constexpr std::size_t kClassicalLineFromOffset = 15;
constexpr std::size_t kClassicalLineToOffset = 27;
constexpr std::size_t kClassicalLineValueOffset = 45;
constexpr std::size_t kClassicalLineStdDevOffset = 81;

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string ShortFieldAt(std::string_view entry, std::size_t offset, std::size_t width) {
  return ShortFieldText(FieldAt(entry, offset, width));
}

}  // namespace

std::optional<ListEntry> EntryAtOffset(std::string_view sectionText, std::size_t offset, std::size_t stride) {
  const std::size_t index = offset / stride;
  const std::size_t start = index * stride;
  if (start + stride > sectionText.size()) return std::nullopt;
  return ListEntry{index, sectionText.substr(start, stride)};
}

bool ReplaceEntry(std::string& sectionText, std::size_t index, std::size_t stride, std::string_view replacement) {
  const std::size_t start = index * stride;
  if (start + stride > sectionText.size()) return false;
  sectionText.replace(start, stride, replacement);
  return true;
}

std::string ShortFieldText(std::string_view field) { return ReplaceAll(ShortNumberText(ReadNumber(field)), ',', '.'); }

VertexLineFields DecodeVertexEntry(std::string_view entry) {
  VertexLineFields fields;
  fields.number = ShortFieldAt(entry, kVertexNumberOffset, kVertexNumberWidth);
  const std::string_view kindArea = FieldAt(entry, kKindSearchOffset, kKindSearchWidth);
  const std::size_t open = kindArea.find('(');
  const std::size_t close = kindArea.find(')', open == std::string_view::npos ? 0 : open);
  if (open != std::string_view::npos && close != std::string_view::npos) {
    fields.kind = std::string(kindArea.substr(open + 1, close - open - 1));
  }
  fields.x = ShortFieldAt(entry, kVertexXOffset, kCoordinateWidth);
  fields.y = ShortFieldAt(entry, kVertexYOffset, kCoordinateWidth);
  fields.z = ShortFieldAt(entry, kVertexZOffset, kCoordinateWidth);
  const std::string_view nsField = FieldAt(entry, kVertexNsOffset, kDeflectionWidth);
  fields.deflectionUnknown = nsField.find('?') != std::string_view::npos;
  if (!fields.deflectionUnknown) {
    fields.deflectionNs = ShortFieldText(nsField);
    fields.deflectionEw = ShortFieldAt(entry, kVertexEwOffset, kDeflectionWidth);
  }
  return fields;
}

ClassicalLineFields DecodeClassicalEntry(std::string_view entry) {
  ClassicalLineFields fields;
  fields.type = std::string(Trim(FieldAt(entry, 0, kClassicalTypeWidth)));
  fields.from = ShortFieldAt(entry, kClassicalLineFromOffset, kVertexNumberWidth);
  fields.to = ShortFieldAt(entry, kClassicalLineToOffset, kVertexNumberWidth);
  fields.value = ShortFieldAt(entry, kClassicalLineValueOffset, kObservedValueWidth);
  fields.stdDev = ShortFieldAt(entry, kClassicalLineStdDevOffset, kStdDevWidth);
  return fields;
}

GpsBlockFields DecodeGpsEntry(std::string_view entry) {
  GpsBlockFields fields;
  fields.from = ShortFieldAt(entry, kGpsFromOffset, kVertexNumberWidth);
  fields.to = ShortFieldAt(entry, kGpsToOffset, kVertexNumberWidth);
  fields.dx = ShortFieldAt(entry, kGpsDxOffset, kBaselineFieldWidth);
  fields.dy = ShortFieldAt(entry, kGpsDyOffset, kBaselineFieldWidth);
  fields.dz = ShortFieldAt(entry, kGpsDzOffset, kBaselineFieldWidth);
  fields.cxx = ShortFieldAt(entry, kGpsCxxOffset, kBaselineFieldWidth);
  fields.cxy = ShortFieldAt(entry, kGpsCxyOffset, kBaselineFieldWidth);
  fields.cxz = ShortFieldAt(entry, kGpsCxzOffset, kBaselineFieldWidth);
  fields.cyy = ShortFieldAt(entry, kGpsCyyOffset, kBaselineFieldWidth);
  fields.cyz = ShortFieldAt(entry, kGpsCyzOffset, kBaselineFieldWidth);
  fields.czz = ShortFieldAt(entry, kGpsCzzOffset, kBaselineFieldWidth);
  return fields;
}

bool IsVertexEntry(std::string_view entry) { return entry.substr(0, kVertexKeyword.size()) == kVertexKeyword; }

bool IsClassicalEntry(std::string_view entry) {
  const std::string_view type = Trim(FieldAt(entry, 0, kClassicalTypeWidth));
  return type == kTypeDirection || type == kTypeZenith || type == kTypeDistance;
}

bool IsGpsEntry(std::string_view entry) { return entry.substr(0, kBaselineKeyword.size()) == kBaselineKeyword; }

std::size_t ByteOffsetOfDisplayPosition(std::string_view sectionText, std::size_t displayPosition) {
  std::size_t byte = 0;
  for (std::size_t shown = 0; shown < displayPosition && byte < sectionText.size(); ++shown) {
    const bool crLf = sectionText[byte] == '\r' && byte + 1 < sectionText.size() && sectionText[byte + 1] == '\n';
    byte += crLf ? 2 : 1;
  }
  return byte;
}

std::size_t DisplayPositionOfByteOffset(std::string_view sectionText, std::size_t byteOffset) {
  std::size_t shown = 0;
  for (std::size_t byte = 0; byte < byteOffset && byte < sectionText.size(); ++shown) {
    const bool crLf = sectionText[byte] == '\r' && byte + 1 < sectionText.size() && sectionText[byte + 1] == '\n';
    byte += crLf ? 2 : 1;
  }
  return shown;
}

std::string DisplayText(std::string_view sectionText) {
  std::string shown;
  shown.reserve(sectionText.size());
  for (std::size_t i = 0; i < sectionText.size(); ++i) {
    if (sectionText[i] == '\r' && i + 1 < sectionText.size() && sectionText[i + 1] == '\n') continue;
    shown.push_back(sectionText[i]);
  }
  return shown;
}

bool ContainsComma(std::string_view text) { return text.find(',') != std::string_view::npos; }

std::string MissingEntryMessage() {
  return Cp1252("La entrada seleccionada ya no está en la lista. Pulse de nuevo sobre ella para modificarla.");
}

}  // namespace korvo
