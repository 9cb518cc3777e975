#pragma once
// A dialog service for offscreen window tests: it records every message and question with
// its exact text, title and icon, and answers questions and file dialogs from queues the test
// fills beforehand. An empty queue answers No / Cancel.

#include <deque>
#include <vector>

#include "app/dialog_service.h"

namespace korvo::testing {

struct RecordedDialog {
  enum class Kind { Message, YesNo, YesNoCancel, Open, Save, Print } kind;
  QString text, title;
  MessageIcon icon = MessageIcon::None;
  bool defaultYes = false;
  FileDialogRequest request;  // for Open and Save
};

class FakeDialogService : public DialogService {
 public:
  FakeDialogService() { SetDialogService(this); }
  ~FakeDialogService() override { SetDialogService(nullptr); }

  std::vector<RecordedDialog> dialogs;
  std::deque<bool> yesNoAnswers;
  std::deque<int> yesNoCancelAnswers;
  std::deque<QString> fileAnswers;  // for open and save, in order; a null QString cancels
  std::deque<std::optional<PrintChoice>> printAnswers;
  QStringList printed;
  int beeps = 0;

  // Texts of the plain messages shown, in order.
  QStringList Messages() const;
  // Every dialog shown, one line each: kind, icon, title and text separated by " | ", e.g.
  // "yesno | question | Guardar como | El fichero ya existe...". Files dialogs give their
  // title only ("save | none | Guardar como | ").
  QString Log() const;

  void ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon) override;
  bool AskYesNo(QWidget*, const QString& text, const QString& title, MessageIcon icon, bool defaultYes) override;
  int AskYesNoCancel(QWidget*, const QString& text, const QString& title, MessageIcon icon) override;
  std::optional<QString> GetOpenFileName(QWidget*, const FileDialogRequest& request) override;
  std::optional<QString> GetSaveFileName(QWidget*, const FileDialogRequest& request) override;
  std::optional<PrintChoice> AskPrint(QWidget*) override;
  void PrintText(const QString& text) override { printed << text; }
  void Beep() override { ++beeps; }
};

}  // namespace korvo::testing
