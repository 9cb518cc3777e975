#include "app/report_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt_text.h"

namespace korvo {
namespace {

// Lower case of a Windows-1252 letter (ASCII and the accented capitals À..Þ but ×).
char LowerCp1252(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
  return c;
}

// Characters a page's text holds before byte `offset` of its bytes: every CR LF is one line
// break in the text box.
int TextPosition(std::string_view pageBytes, std::size_t offset) {
  std::size_t removed = 0;
  for (std::size_t i = 0; i + 1 < offset && i + 1 < pageBytes.size(); ++i) {
    if (pageBytes[i] == '\r' && pageBytes[i + 1] == '\n') ++removed;
  }
  return static_cast<int>(offset - removed);
}

}  // namespace

QString ReportSizeText(std::size_t bytes) {
  const QLocale spanish(QLocale::Spanish, QLocale::Spain);
  if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
  return spanish.toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

ReportView::ReportView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Informe"));
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("InformeEstado"));
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("InformeBuscar"));
  find_->setPlaceholderText(QStringLiteral("Buscar en el informe"));
  find_->setClearButtonEnabled(true);
  findNext_ = new QPushButton(QStringLiteral("&Buscar siguiente"), this);
  findNext_->setObjectName(QStringLiteral("InformeBuscarSiguiente"));
  previous_ = new QPushButton(QStringLiteral("< Página anterior"), this);
  previous_->setObjectName(QStringLiteral("InformePaginaAnterior"));
  next_ = new QPushButton(QStringLiteral("Página siguiente >"), this);
  next_->setObjectName(QStringLiteral("InformePaginaSiguiente"));
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("InformeTexto"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setUndoRedoEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(status_, 1);
  bar->addWidget(find_);
  bar->addWidget(findNext_);
  bar->addWidget(previous_);
  bar->addWidget(next_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(text_, 1);

  connect(find_, &QLineEdit::returnPressed, this, [this] { FindNext(find_->text()); });
  connect(findNext_, &QPushButton::clicked, this, [this] { FindNext(find_->text()); });
  connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(page_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { ShowPage(page_ + 1); });
  Clear();
}

void ReportView::SetReport(std::string report) {
  report_ = std::move(report);
  pageStarts_.clear();
  for (std::size_t start = 0; start < report_.size();) {
    pageStarts_.push_back(start);
    const std::size_t lineEnd = report_.find('\n', std::min(report_.size(), start + kPageBytes));
    start = lineEnd == std::string::npos ? report_.size() : lineEnd + 1;
  }
  page_ = -1;
  ShowPage(0);
}

std::size_t ReportView::PageEnd(int page) const {
  return page + 1 < PageCount() ? pageStarts_[static_cast<std::size_t>(page) + 1] : report_.size();
}

void ReportView::ShowPage(int page) {
  if (PageCount() == 0) {
    page_ = 0;
    text_->clear();
  } else {
    page = std::clamp(page, 0, PageCount() - 1);
    if (page != page_) {
      page_ = page;
      const std::size_t start = pageStarts_[static_cast<std::size_t>(page)];
      text_->setPlainText(FromCp1252(std::string_view(report_).substr(start, PageEnd(page) - start)));
    }
  }
  UpdateStatus();
}

void ReportView::UpdateStatus() {
  const bool any = !report_.empty();
  find_->setEnabled(any);
  findNext_->setEnabled(any);
  previous_->setVisible(PageCount() > 1);
  next_->setVisible(PageCount() > 1);
  previous_->setEnabled(page_ > 0);
  next_->setEnabled(page_ + 1 < PageCount());
  if (!any) {
    status_->setText(QStringLiteral("Sin resultados: el informe aparece aquí después de Calcular."));
    return;
  }
  QString text = QStringLiteral("Informe de resultados: %1").arg(ReportSizeText(report_.size()));
  if (PageCount() > 1) text += QStringLiteral(", página %1 de %2").arg(page_ + 1).arg(PageCount());
  status_->setText(text);
}

std::size_t ReportView::SelectionEndInReport() const {
  if (PageCount() == 0) return 0;
  const std::size_t start = pageStarts_[static_cast<std::size_t>(page_)];
  const std::string_view page = std::string_view(report_).substr(start, PageEnd(page_) - start);
  // Walk the page's bytes until the text position of the selection's end is reached.
  const int wanted = text_->textCursor().selectionEnd();
  std::size_t offset = 0;
  for (int position = 0; offset < page.size() && position < wanted; ++offset) {
    if (page[offset] == '\r' && offset + 1 < page.size() && page[offset + 1] == '\n') continue;
    ++position;
  }
  return start + offset;
}

bool ReportView::FindNext(const QString& text) {
  if (text.isEmpty() || report_.empty()) return false;
  std::string needle = ToCp1252(text);
  std::transform(needle.begin(), needle.end(), needle.begin(), LowerCp1252);
  const auto equal = [](char a, char b) { return LowerCp1252(a) == b; };
  const std::size_t from = SelectionEndInReport();
  auto found = std::search(report_.begin() + static_cast<std::ptrdiff_t>(from), report_.end(), needle.begin(),
                           needle.end(), equal);
  if (found == report_.end()) found = std::search(report_.begin(), report_.end(), needle.begin(), needle.end(), equal);
  if (found == report_.end()) {
    status_->setText(QStringLiteral("No se encuentra \"%1\" en el informe.").arg(text));
    return false;
  }
  const auto at = static_cast<std::size_t>(found - report_.begin());
  const auto page = static_cast<int>(std::upper_bound(pageStarts_.begin(), pageStarts_.end(), at) - pageStarts_.begin()) - 1;
  ShowPage(page);
  const std::size_t start = pageStarts_[static_cast<std::size_t>(page)];
  const std::string_view bytes = std::string_view(report_).substr(start, PageEnd(page) - start);
  QTextCursor cursor(text_->document());
  cursor.setPosition(TextPosition(bytes, at - start));
  cursor.setPosition(TextPosition(bytes, at - start + needle.size()), QTextCursor::KeepAnchor);
  text_->setTextCursor(cursor);
  text_->centerCursor();
  return true;
}

}  // namespace korvo
