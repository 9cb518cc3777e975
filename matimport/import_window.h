#pragma once
// frmImport, "Importar Matrices": the three files of an observation system given as matrices
// (design matrix A, independent terms k, weights P). Aceptar remembers the three paths for the
// rest of the run, closes the window and runs the import.
//
// The three name fields form the control array "Archivo" and the three buttons the array
// "Examinar": each widget has that objectName and its index (0 = A, 1 = k, 2 = P) in the
// dynamic property "index".

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace korvo {

class ProjectChooser;

// Paths in the order A, k, P, as typed or chosen.
using MatrixPaths = std::array<QString, 3>;

class ImportWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ImportWindow(QWidget* parent = nullptr);

  // Runs the import with the three paths after the window has closed.
  void SetImporter(std::function<void(const MatrixPaths&)> importer) { importer_ = std::move(importer); }

  // What happens each time the window opens: each field shows its remembered path, if any.
  void OpenFresh();

  const MatrixPaths& RememberedPaths() const { return remembered_; }
  QLineEdit* Field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

  // frmAbririmp, created on first use.
  ProjectChooser* Chooser();

 private:
  void FollowFields();
  void Browse(int index);
  void Accept();

  std::array<QLineEdit*, 3> fields_{};
  std::array<QPushButton*, 3> browse_{};
  QPushButton* accept_ = nullptr;
  QPushButton* cancel_ = nullptr;
  MatrixPaths remembered_;
  ProjectChooser* chooser_ = nullptr;
  int browsingIndex_ = 0;
  std::function<void(const MatrixPaths&)> importer_;
};

}  // namespace korvo
