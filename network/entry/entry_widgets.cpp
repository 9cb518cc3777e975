#include "network/entry/entry_widgets.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyle>
#include <QTextBlock>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "network/entry_text.h"

namespace korvo {

namespace {

// Whether every character of the font advances by the same width (the columns of the lists
// must line up under each other).
bool AdvancesEvenly(const QFont& font) {
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W')) &&
         metrics.horizontalAdvance(QLatin1Char(' ')) == metrics.horizontalAdvance(QLatin1Char('M'));
}

}  // namespace

QFont EntryListFont() {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (AdvancesEvenly(font)) return font;
  QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (AdvancesEvenly(system)) return system;
  for (const QString& family : QFontDatabase::families()) {
    if (!QFontDatabase::isFixedPitch(family)) continue;
    QFont candidate(family);
    if (AdvancesEvenly(candidate)) return candidate;
  }
  return font;
}

QLineEdit* NewField(const QString& objectName, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(objectName);
  return field;
}

QPushButton* NewButton(const QString& objectName, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(objectName);
  return button;
}

QLabel* NewLabel(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

void AddCaptionedBeside(QGridLayout* grid, const QString& caption, QWidget* field, int row, int column) {
  grid->addWidget(NewLabel(caption, field->parentWidget()), row, column);
  grid->addWidget(field, row, column + 1);
}

void AddCaptionedBelow(QGridLayout* grid, const QString& caption, QWidget* field, int row, int column) {
  grid->addWidget(NewLabel(caption, field->parentWidget()), row, column);
  grid->addWidget(field, row + 1, column);
}

QLabel* NewHeading(const QString& text, QWidget* parent) {
  auto* heading = NewLabel(text, parent);
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSize(font.pointSize() + 2);
  heading->setFont(font);
  return heading;
}

EntryButtonRow NewEntryButtonRow(const QString& pictureName, const QString& introduceName,
                                 const QString& modifyName, QWidget* parent) {
  EntryButtonRow row;
  row.layout = new QHBoxLayout();
  row.picture = new ClickablePicture(pictureName, parent);
  row.introduce = NewButton(introduceName, QStringLiteral("Introducir"), parent);
  row.modify = NewButton(modifyName, QStringLiteral("MODIFICAR"), parent);
  row.layout->addWidget(row.picture);
  row.layout->addWidget(row.introduce);
  row.layout->addWidget(row.modify);
  row.layout->addStretch();
  return row;
}

QComboBox* NewVertexNumberBox(const QString& objectName, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(objectName);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  // Wide enough for any vertex number, -32768 included.
  box->setMinimumContentsLength(7);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  for (int number = 1; number <= 100; ++number) box->addItem(QString::number(number));
  box->setCurrentIndex(-1);
  box->clearEditText();
  return box;
}

std::string FieldText(const QLineEdit* field) { return ToCp1252(field->text()); }
std::string FieldText(const QComboBox* box) { return ToCp1252(box->currentText()); }

void ShowDecimalCommaMessage(QWidget* parent) {
  Dialogs().ShowMessage(parent, QStringLiteral("Use '.' como separador decimal"),
                        QStringLiteral("Signo decimal incorrecto"), MessageIcon::Critical);
}

void ShowEntryRefusal(QWidget* parent, const std::string& cp1252Message) {
  Dialogs().ShowMessage(parent, FromCp1252(cp1252Message), QString(), MessageIcon::Exclamation);
}

EntryListView::EntryListView(const QString& objectName, QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(objectName);
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(EntryListFont());
  setMinimumHeight(120);
}

void EntryListView::ShowSection(std::string_view sectionText) {
  section_ = std::string(sectionText);
  setPlainText(FromCp1252(DisplayText(section_)));
}

void EntryListView::SelectBytes(std::size_t byteStart, std::size_t byteLength) {
  QTextCursor cursor(document());
  cursor.setPosition(static_cast<int>(DisplayPositionOfByteOffset(section_, byteStart)));
  cursor.setPosition(static_cast<int>(DisplayPositionOfByteOffset(section_, byteStart + byteLength)),
                     QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

std::size_t EntryListView::CaretByteOffset() const {
  return ByteOffsetOfDisplayPosition(section_, static_cast<std::size_t>(textCursor().position()));
}

void EntryListView::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit clickedAtByte(CaretByteOffset());
}

ClickablePicture::ClickablePicture(const QString& objectName, QWidget* parent) : QLabel(parent) {
  setObjectName(objectName);
  setPixmap(style()->standardIcon(QStyle::SP_ArrowDown).pixmap(24, 24));
  setCursor(Qt::PointingHandCursor);
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit clicked();
}

}  // namespace korvo
