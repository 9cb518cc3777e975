#pragma once
// Small widgets shared by the entry windows: the fixed-pitch list that reports where it was
// clicked, a picture that acts as the button beside it, and the named controls every entry
// window builds the same way.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <string_view>

namespace korvo {

// A read-only list showing one section text (Windows-1252, CR LF lines) in a fixed-pitch
// font without wrapping. A click reports the caret's byte offset in the section text.
class EntryListView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit EntryListView(const QString& objectName, QWidget* parent = nullptr);

  // Shows a section text and remembers it for mapping clicks to byte offsets.
  void ShowSection(std::string_view sectionText);
  const std::string& Section() const { return section_; }

  // Highlights the bytes [byteStart, byteStart + byteLength) of the section text.
  void SelectBytes(std::size_t byteStart, std::size_t byteLength);

  // Byte offset of the caret in the section text.
  std::size_t CaretByteOffset() const;

 signals:
  void clickedAtByte(std::size_t byteOffset);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::string section_;
};

// A picture that behaves as a button.
class ClickablePicture : public QLabel {
  Q_OBJECT
 public:
  explicit ClickablePicture(const QString& objectName, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// Controls carrying their control name (objectName), and plain labels.
QLineEdit* NewField(const QString& objectName, QWidget* parent);
QPushButton* NewButton(const QString& objectName, const QString& caption, QWidget* parent);
QLabel* NewLabel(const QString& text, QWidget* parent);

// A field and its caption in a grid, the caption at (row, column) and the field to its right
// (Beside) or under it (Below). The caption belongs to the field's parent.
void AddCaptionedBeside(QGridLayout* grid, const QString& caption, QWidget* field, int row, int column);
void AddCaptionedBelow(QGridLayout* grid, const QString& caption, QWidget* field, int row, int column);

// The heading at the top of an entry window: bold, two points above the other labels.
QLabel* NewHeading(const QString& text, QWidget* parent);

// The row under the fields of each list: the picture, "Introducir" and "MODIFICAR", then a
// stretch; the window adds its own buttons at the right end.
struct EntryButtonRow {
  QHBoxLayout* layout = nullptr;
  ClickablePicture* picture = nullptr;
  QPushButton* introduce = nullptr;
  QPushButton* modify = nullptr;
};
EntryButtonRow NewEntryButtonRow(const QString& pictureName, const QString& introduceName,
                                 const QString& modifyName, QWidget* parent);

// The fixed-pitch font of the lists.
QFont EntryListFont();

// An editable box for a vertex number whose list offers 1 to 100.
QComboBox* NewVertexNumberBox(const QString& objectName, QWidget* parent);

// Text of a box as Windows-1252.
std::string FieldText(const QLineEdit* field);
std::string FieldText(const QComboBox* box);

// "Use '.' como separador decimal", titled "Signo decimal incorrecto", critical icon.
void ShowDecimalCommaMessage(QWidget* parent);
// A refused entry (a text wider than its column, an unknown word): the message, exclamation icon.
void ShowEntryRefusal(QWidget* parent, const std::string& cp1252Message);

}  // namespace korvo
