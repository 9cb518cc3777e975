#include "gui_support/fake_dialog_service.h"

namespace korvo::testing {

std::optional<QString> FakeDialogService::NextFileAnswer() {
  if (fileAnswers.empty()) return std::nullopt;
  const QString answer = fileAnswers.front();
  fileAnswers.pop_front();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

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
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

int FakeDialogService::AskYesNoCancel(QWidget*, const QString& text, const QString& title, MessageIcon icon) {
  dialogs.push_back({RecordedDialog::Kind::YesNoCancel, text, title, icon, false, {}});
  if (yesNoCancelAnswers.empty()) return -1;
  const int answer = yesNoCancelAnswers.front();
  yesNoCancelAnswers.pop_front();
  return answer;
}

std::optional<QString> FakeDialogService::GetOpenFileName(QWidget*, const FileDialogRequest& request) {
  dialogs.push_back({RecordedDialog::Kind::Open, request.title, request.title, MessageIcon::None, false, request});
  return NextFileAnswer();
}

std::optional<QString> FakeDialogService::GetSaveFileName(QWidget*, const FileDialogRequest& request) {
  dialogs.push_back({RecordedDialog::Kind::Save, request.title, request.title, MessageIcon::None, false, request});
  return NextFileAnswer();
}

std::optional<PrintChoice> FakeDialogService::AskPrint(QWidget*) {
  dialogs.push_back({RecordedDialog::Kind::Print, {}, {}, MessageIcon::None, false, {}});
  if (printAnswers.empty()) return std::nullopt;
  auto answer = printAnswers.front();
  printAnswers.pop_front();
  return answer;
}

}  // namespace korvo::testing
