// The project file chooser frmAbrir, driven by clicks and keys.
#include <gtest/gtest.h>

#include <functional>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui_support/gui_find.h"
#include "app/project_chooser.h"
#include "gui_support/fake_dialog_service.h"
#include "support/files.h"

namespace korvo {
namespace {

using testing::Find;

class ProjectChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path made = testing::FolderWith("chooser", {{"red.txt", "x\r\n"}, {"otra.dat", "x\r\n"}});
    ASSERT_TRUE(std::filesystem::create_directory(made / "trabajos"));
    std::ofstream(made / "trabajos" / "dentro.txt");
    root = QDir(QString::fromStdString(made.string())).absolutePath();
    chooser.PrepareForShowing();
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    chooser.SetFolder(root);
    files = Find<QListWidget>(&chooser, "File1");
    folders = Find<QListWidget>(&chooser, "dirBox1");
    nameField = Find<QLineEdit>(&chooser, "Text1");
    accept = Find<QPushButton>(&chooser, "btnAceptar");
  }
  QListWidgetItem* FileItem(const QString& text) {
    const auto found = files->findItems(text, Qt::MatchExactly);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.value(0);
  }
  void ClickFile(const QString& text) {
    QListWidgetItem* item = FileItem(text);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(item).center());
  }
  // A real double click: press and release, then the second press arrives as a double click.
  static void DoubleClick(QListWidget* list, QListWidgetItem* item) {
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  }
  QString Sep() const { return QString(QDir::separator()); }
  QString Native(const QString& path) const { return QDir::toNativeSeparators(path); }
  testing::FakeDialogService fake;
  QString root;
  ProjectChooser chooser;
  QListWidget* files = nullptr;
  QListWidget* folders = nullptr;
  QLineEdit* nameField = nullptr;
  QPushButton* accept = nullptr;
};

// The ways of choosing from a fresh showing: the path chosen (empty: none) and whether the chooser stays open;
// then what the next showing starts with.
TEST_F(ProjectChooserTest, Acceptance) {
  struct Case {
    const char* what;
    std::function<void()> act;
    QString chosen;
    bool stillOpen;
  };
  const QString red = Native(root) + Sep() + QStringLiteral("red.txt");
  const std::vector<Case> cases = {
      {"click and Aceptar", [&] { ClickFile(QStringLiteral("red.txt")), QTest::mouseClick(accept, Qt::LeftButton); }, red, false},
      {"double click", [&] { DoubleClick(files, FileItem(QStringLiteral("otra.dat"))); },
       Native(root) + Sep() + QStringLiteral("otra.dat"), false},
      {"Enter in the list", [&] { ClickFile(QStringLiteral("red.txt")), QTest::keyClick(files, Qt::Key_Return); }, red, false},
      {"typed name only", [&] { QTest::keyClicks(nameField, QStringLiteral("red.txt")), QTest::keyClick(nameField, Qt::Key_Return); },
       red, false},
      {"pasted full path", [&] { nameField->setText(root + QStringLiteral("/trabajos/dentro.txt")), QTest::keyClick(nameField, Qt::Key_Return); },
       Native(root + QStringLiteral("/trabajos/dentro.txt")), false},
      {"a name no file has", [&] { QTest::keyClicks(nameField, QStringLiteral("red")), QTest::keyClick(nameField, Qt::Key_Return); },
       QString(), true},
      {"Enter while Aceptar is disabled", [&] { QTest::keyClick(nameField, Qt::Key_Return), QTest::keyClick(files, Qt::Key_Return); },
       QString(), true},
      {"Cancelar", [&] { ClickFile(QStringLiteral("red.txt")), QTest::mouseClick(Find<QPushButton>(&chooser, "btnCancelar"), Qt::LeftButton); },
       QString(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    chooser.PrepareForShowing();
    chooser.show();
    chooser.SetFolder(root);
    nameField->clear();
    QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
    c.act();
    ASSERT_EQ(chosen.count(), c.chosen.isEmpty() ? 0 : 1);
    if (!c.chosen.isEmpty()) {
      EXPECT_EQ(chosen[0][0].toString(), c.chosen);
    }
    EXPECT_EQ(chooser.isVisible(), c.stillOpen);
  }
  // Aceptar only for an existing file, and a folder change forgets the name.
  chooser.show();
  nameField->clear();
  QTest::keyClicks(nameField, QStringLiteral("trabajos"));
  EXPECT_FALSE(accept->isEnabled());
  ClickFile(QStringLiteral("red.txt"));
  EXPECT_TRUE(accept->isEnabled());
  chooser.SetFolder(root + QStringLiteral("/trabajos"));
  EXPECT_TRUE(nameField->text().isEmpty());
  EXPECT_FALSE(accept->isEnabled());
  // Shown again, or another project chooser: no stale name, Aceptar off, the last folder; other purposes keep theirs.
  const QString before = QDir::currentPath();
  const QString last = QDir(root + QStringLiteral("/trabajos")).canonicalPath();
  ClickFile(QStringLiteral("dentro.txt"));
  QTest::mouseClick(accept, Qt::LeftButton);
  ProjectChooser other;
  for (ProjectChooser* shown : {&chooser, &other}) {
    QDir::setCurrent(QDir::tempPath());
    shown->PrepareForShowing();
    EXPECT_TRUE(Find<QLineEdit>(shown, "Text1")->text().isEmpty());
    EXPECT_FALSE(Find<QPushButton>(shown, "btnAceptar")->isEnabled());
    EXPECT_EQ(QDir::current().canonicalPath(), last);
    EXPECT_EQ(QDir(shown->Folder()).canonicalPath(), last);
  }
  ProjectChooser wave(nullptr, FolderPurpose::kWaveReports);
  wave.PrepareForShowing();
  EXPECT_NE(QDir(wave.Folder()).canonicalPath(), last);
  QDir::setCurrent(before);
}

// Folders open by Enter and double click, not by highlighting; an unreadable drive is refused.
TEST_F(ProjectChooserTest, FoldersAndDrives) {
  const auto sub = folders->findItems(QStringLiteral("trabajos"), Qt::MatchEndsWith);
  ASSERT_EQ(sub.size(), 1);
  folders->setCurrentItem(sub[0]);
  EXPECT_EQ(chooser.Folder(), root);  // highlighting alone does not open it
  QTest::keyClick(folders, Qt::Key_Return);
  EXPECT_EQ(chooser.Folder(), root + QStringLiteral("/trabajos"));
  ASSERT_EQ(files->count(), 1);
  EXPECT_EQ(files->item(0)->text(), QStringLiteral("dentro.txt"));
  QListWidgetItem* parent = folders->item(folders->currentRow() - 1);  // the parent in the chain above
  ASSERT_NE(parent, nullptr);
  DoubleClick(folders, parent);
  EXPECT_EQ(chooser.Folder(), root);
  QStringList shown;
  for (int i = 0; i < files->count(); ++i) shown << files->item(i)->text();
  EXPECT_EQ(shown, (QStringList{QStringLiteral("otra.dat"), QStringLiteral("red.txt")}));
  // An unreadable drive is reported and the list goes back.
  auto* drives = Find<QComboBox>(&chooser, "drvBox1");
  const int before = drives->currentIndex();
  drives->addItem(QStringLiteral("/no-existe-esta-unidad"), QStringLiteral("/no-existe-esta-unidad"));
  drives->setCurrentIndex(drives->count() - 1);
  EXPECT_EQ(fake.beeps, 1);
  EXPECT_EQ(fake.Log(), QStringLiteral("message | information |  | El dispositivo no está disponible\n"));
  EXPECT_EQ(drives->currentIndex(), before);
  EXPECT_EQ(chooser.Folder(), root);
}

}  // namespace
}  // namespace korvo
