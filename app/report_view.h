#pragma once
// The "Informe" tab of the main window: the last adjustment's results report, read-only, a
// page at a time so that a report of hundreds of megabytes opens at once, with its size, the
// page shown and a find box that searches the whole report.

#include <QWidget>
#include <cstddef>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace korvo {

class ReportView : public QWidget {
  Q_OBJECT
 public:
  // Pages break at the first line end after this many bytes.
  static constexpr std::size_t kPageBytes = 1 << 20;

  explicit ReportView(QWidget* parent = nullptr);

  // The report (Windows-1252, CR LF line ends); an empty text shows that there is none.
  void SetReport(std::string report);
  void Clear() { SetReport({}); }
  const std::string& Report() const { return report_; }

  int PageCount() const { return static_cast<int>(pageStarts_.size()); }
  int CurrentPage() const { return page_; }  // 0-based
  void ShowPage(int page);

  // Finds `text` (ignoring case) after the current selection, continuing on later pages and
  // then from the start; selects it and returns true, or says it was not found.
  bool FindNext(const QString& text);

 private:
  void UpdateStatus();
  std::size_t PageEnd(int page) const;
  std::size_t SelectionEndInReport() const;

  std::string report_;
  std::vector<std::size_t> pageStarts_;
  int page_ = 0;
  QLabel* status_;
  QLineEdit* find_;
  QPushButton* findNext_;
  QPushButton* previous_;
  QPushButton* next_;
  QPlainTextEdit* text_;
};

// "489 KB", "12,4 MB": the size of a report as the tab tells it.
QString ReportSizeText(std::size_t bytes);

}  // namespace korvo
