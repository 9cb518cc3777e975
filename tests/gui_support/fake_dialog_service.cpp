#include "gui_support/fake_dialog_service.h"

namespace korvo::testing {
namespace {

template <class T>  // the next queued answer, or `none` when the queue is empty
T Next(std::deque<T>& queue, T none) {
  if (queue.empty()) return none;
  T answer = queue.front();
  queue.pop_front();
  return answer;
}

// Records a file dialog and gives the next answer: a null QString (or none queued) cancels.
std::optional<QString> FileDialog(FakeDialogService& fake, RecordedDialog::Kind kind, const FileDialogRequest& request) {
  fake.dialogs.push_back({kind, request.title, request.title, MessageIcon::None, false, request});
  const QString answer = Next(fake.fileAnswers, QString());
  return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
}

}  // namespace

QStringList FakeDialogService::Messages() const {
  QStringList texts;
  for (const RecordedDialog& dialog : dialogs) {
    if (dialog.kind == RecordedDialog::Kind::Message) texts << dialog.text;
  }
  return texts;
}

QString FakeDialogService::Log() const {
  static const char* const kKinds[] = {"message", "yesno", "yesnocancel", "open", "save", "print"};
  static const char* const kIcons[] = {"none", "critical", "exclamation", "information", "question"};
  QString log;
  for (const RecordedDialog& dialog : dialogs) {
    const bool file = dialog.kind == RecordedDialog::Kind::Open || dialog.kind == RecordedDialog::Kind::Save;
    log += QString::fromLatin1(kKinds[static_cast<int>(dialog.kind)]) + QStringLiteral(" | ") +
           QString::fromLatin1(kIcons[static_cast<int>(dialog.icon)]) + QStringLiteral(" | ") + dialog.title +
           QStringLiteral(" | ") + (file ? QString() : dialog.text) + QLatin1Char('\n');
  }
  return log;
}

void FakeDialogService::ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon) {
  dialogs.push_back({RecordedDialog::Kind::Message, text, title, icon, false, {}});
}

bool FakeDialogService::AskYesNo(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                                 bool defaultYes) {
  dialogs.push_back({RecordedDialog::Kind::YesNo, text, title, icon, defaultYes, {}});
  return Next(yesNoAnswers, false);
}

int FakeDialogService::AskYesNoCancel(QWidget*, const QString& text, const QString& title, MessageIcon icon) {
  dialogs.push_back({RecordedDialog::Kind::YesNoCancel, text, title, icon, false, {}});
  return Next(yesNoCancelAnswers, -1);
}

std::optional<QString> FakeDialogService::GetOpenFileName(QWidget*, const FileDialogRequest& request) {
  return FileDialog(*this, RecordedDialog::Kind::Open, request);
}

std::optional<QString> FakeDialogService::GetSaveFileName(QWidget*, const FileDialogRequest& request) {
  return FileDialog(*this, RecordedDialog::Kind::Save, request);
}

std::optional<PrintChoice> FakeDialogService::AskPrint(QWidget*) {
  dialogs.push_back({RecordedDialog::Kind::Print, {}, {}, MessageIcon::None, false, {}});
  return Next(printAnswers, std::optional<PrintChoice>());
}

}  // namespace korvo::testing
