#pragma once
// Main, "Transformación de datum": the coordinate transformation utility. Eighteen columns
// (the boxes Coord0..Coord17), three per format: 1 UTM huso 30, 2 UTM huso 31, 3 ED50
// geographic, 4 ED50 cartesian, 5 WGS84 geographic, 6 WGS84 cartesian. The user fills the
// three columns of one format and presses its "< TRANSFORMAR >" button (Transform0..Transform5);
// the window fills all six formats. Points can also come from a file and go to a file.
//
// One process-wide instance: ShowDatumWindow() creates it on first use and shows it.

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "coordtransform/coordinate_formats.h"

class QPlainTextEdit;
class QPushButton;

namespace korvo {

class AboutWindow;
class HelpWindow;

class DatumWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DatumWindow(QWidget* parent = nullptr);

  // The commands behind the buttons; tests may call them too.
  void Transform(int index);  // Transform(index): the format index + 1 of the three columns
  void InputFromFile();       // Input: read a coordinate file into its format's columns
  void OutputToFile();        // Output: write the 18 values of every point to a file
  void EraseAll();            // Erase: empty the 18 boxes
  void ShowHelp();            // Help: the window Ayuda
  void ShowAbout();           // Command1: the window About
  void OpenEditor();          // Command2: the text editor

  QPlainTextEdit* CoordBox(int column) const { return coord_[static_cast<std::size_t>(column)]; }
  // The points of the last Transform or file load, whose values Output writes.
  const std::vector<PointInAllFormats>& Points() const { return points_; }
  HelpWindow* Help() const { return help_; }
  AboutWindow* About() const { return about_; }

  // How "Editor de texto" opens the editor; by default the editor window of Korvo.
  void SetEditorOpener(std::function<void()> opener) { openEditor_ = std::move(opener); }

 private:
  void BuildWindow();
  void ShowAllColumns();
  void LoadInputColumns(CoordinateFormat format, const std::vector<Triple>& points);
  void ReportFailure(const std::string& cp1252Message);
  void RefuseTypedValue(const QString& message, std::optional<int> box, std::size_t line);
  void ShareVerticalScroll(int format);

  std::array<QPlainTextEdit*, kColumnCount> coord_{};
  std::array<QPushButton*, kFormatCount> transform_{};
  std::vector<PointInAllFormats> points_;
  HelpWindow* help_ = nullptr;
  AboutWindow* about_ = nullptr;
  std::function<void()> openEditor_;
};

// The single utility window, created on first use (a QApplication must exist).
DatumWindow& DatumWindowInstance();

// Shows the utility window and brings it to the front ("&Utilidades" menu of the main window).
void ShowDatumWindow();

}  // namespace korvo
