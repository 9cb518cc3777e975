// The project file chooser frmAbrir, driven by clicks and keys.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui_find.h"
#include "app/project_chooser.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;

class ProjectChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    root = QDir(folder.path()).absolutePath();
    for (const char* name : {"red.txt", "otra.dat"}) {
      QFile file(root + QLatin1Char('/') + QString::fromLatin1(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("x\r\n");
    }
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("trabajos")));
    QFile inner(root + QStringLiteral("/trabajos/dentro.txt"));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
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
  QTemporaryDir folder;
  QString root;
  ProjectChooser chooser;
  QListWidget* files = nullptr;
  QListWidget* folders = nullptr;
  QLineEdit* nameField = nullptr;
  QPushButton* accept = nullptr;
};

TEST_F(ProjectChooserTest, CaptionsAndStartFolder) {
  ProjectChooser fresh;
  EXPECT_EQ(fresh.windowTitle(), QStringLiteral(" Abrir Trabajo"));
  fresh.PrepareForShowing();
  EXPECT_EQ(fresh.windowTitle(), QStringLiteral("Abrir Trabajo"));
  EXPECT_EQ(fresh.Folder(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
  EXPECT_EQ(Find<QPushButton>(&fresh, "btnAceptar")->text(), QStringLiteral("&Aceptar"));
  EXPECT_EQ(Find<QPushButton>(&fresh, "btnCancelar")->text(), QStringLiteral("&Cancelar"));
  EXPECT_FALSE(Find<QPushButton>(&fresh, "btnAceptar")->isEnabled());
  EXPECT_GE(Find<QComboBox>(&fresh, "drvBox1")->count(), 1);
}

TEST_F(ProjectChooserTest, FileListShowsEveryFileOfTheFolder) {
  QStringList shown;
  for (int i = 0; i < files->count(); ++i) shown << files->item(i)->text();
  EXPECT_EQ(shown, (QStringList{QStringLiteral("otra.dat"), QStringLiteral("red.txt")}));
}

TEST_F(ProjectChooserTest, ClickingAFileFillsTheNameAndAcceptBuildsThePath) {
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  ClickFile(QStringLiteral("red.txt"));
  EXPECT_EQ(nameField->text(), QStringLiteral("red.txt"));
  EXPECT_TRUE(accept->isEnabled());
  QTest::mouseClick(accept, Qt::LeftButton);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toString(), Native(root) + Sep() + QStringLiteral("red.txt"));
  EXPECT_FALSE(chooser.isVisible());
}

TEST_F(ProjectChooserTest, DoubleClickAccepts) {
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  QListWidgetItem* item = FileItem(QStringLiteral("otra.dat"));
  DoubleClick(files, item);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toString(), Native(root) + Sep() + QStringLiteral("otra.dat"));
}

TEST_F(ProjectChooserTest, EnterInTheFileListOrTheNameAccepts) {
  for (const bool inName : {false, true}) {
    SCOPED_TRACE(inName ? "Text1" : "File1");
    chooser.show();
    QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
    ClickFile(QStringLiteral("red.txt"));
    QTest::keyClick(inName ? static_cast<QWidget*>(nameField) : files, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toString(), Native(root) + Sep() + QStringLiteral("red.txt"));
  }
}

TEST_F(ProjectChooserTest, EnterDoesNothingWhileAceptarIsDisabled) {
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  ASSERT_TRUE(nameField->text().isEmpty());
  QTest::keyClick(nameField, Qt::Key_Return);
  QTest::keyClick(files, Qt::Key_Return);
  EXPECT_EQ(chosen.count(), 0);
  EXPECT_TRUE(chooser.isVisible());
}

// Aceptar only for a file that exists: a name of the shown folder or a full path typed or
// pasted; a stale name cannot be accepted and a folder change forgets it.
TEST_F(ProjectChooserTest, AceptarOnlyForAnExistingFile) {
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  const QString inner = Native(root + QStringLiteral("/trabajos/dentro.txt"));
  struct Row {
    QString typed;
    bool enabled;
  };
  for (const Row& row : {Row{QStringLiteral("a"), false}, Row{QStringLiteral("trabajos"), false},
                         Row{QStringLiteral("red.txt"), true}, Row{inner, true}}) {
    nameField->setText(row.typed);
    EXPECT_EQ(accept->isEnabled(), row.enabled) << row.typed.toStdString();
  }
  QTest::keyClick(nameField, Qt::Key_Return);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toString(), inner);

  chooser.show();
  ClickFile(QStringLiteral("red.txt"));
  chooser.SetFolder(root + QStringLiteral("/trabajos"));
  EXPECT_TRUE(nameField->text().isEmpty());
  EXPECT_FALSE(accept->isEnabled());
}

// The file list taking the keyboard focus chooses nothing; moving the selection does.
TEST_F(ProjectChooserTest, FocusAloneFillsNoName) {
  files->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(nameField->text().isEmpty());
  EXPECT_FALSE(accept->isEnabled());
  QTest::keyClick(files, Qt::Key_Down);
  EXPECT_FALSE(nameField->text().isEmpty());
  EXPECT_TRUE(accept->isEnabled());
}

TEST_F(ProjectChooserTest, FolderListOpensFoldersByDoubleClickAndEnter) {
  const auto sub = folders->findItems(QStringLiteral("trabajos"), Qt::MatchEndsWith);
  ASSERT_EQ(sub.size(), 1);
  folders->setCurrentItem(sub[0]);
  EXPECT_EQ(chooser.Folder(), root);  // highlighting alone does not open it
  QTest::keyClick(folders, Qt::Key_Return);
  EXPECT_EQ(chooser.Folder(), root + QStringLiteral("/trabajos"));
  ASSERT_EQ(files->count(), 1);
  EXPECT_EQ(files->item(0)->text(), QStringLiteral("dentro.txt"));

  // Back up one level by double-clicking the parent in the chain above.
  const int parentRow = folders->currentRow() - 1;
  QListWidgetItem* parent = folders->item(parentRow);
  ASSERT_NE(parent, nullptr);
  DoubleClick(folders, parent);
  EXPECT_EQ(chooser.Folder(), root);
  EXPECT_EQ(files->count(), 2);
}

TEST_F(ProjectChooserTest, UnreadableDriveIsReportedAndTheListGoesBack) {
  auto* drives = Find<QComboBox>(&chooser, "drvBox1");
  const int before = drives->currentIndex();
  drives->addItem(QStringLiteral("/no-existe-esta-unidad"), QStringLiteral("/no-existe-esta-unidad"));
  drives->setCurrentIndex(drives->count() - 1);
  EXPECT_EQ(fake.beeps, 1);
  ASSERT_EQ(fake.Messages(), QStringList{QStringLiteral("El dispositivo no está disponible")});
  EXPECT_EQ(fake.dialogs[0].icon, MessageIcon::Information);
  EXPECT_EQ(drives->currentIndex(), before);
  EXPECT_EQ(chooser.Folder(), root);
}

TEST_F(ProjectChooserTest, ListLabelsCarryTheirCaptions) {
  const std::pair<const char*, const char*> captions[] = {
      {"drvBox1", "&Unidades de disco:"}, {"dirBox1", "&Directorios:"}, {"Text1", "&Nombre del fichero:"}};
  for (const auto& [name, caption] : captions) {
    QWidget* control = Find<QWidget>(&chooser, name);
    QString found;
    for (const QLabel* label : chooser.findChildren<QLabel*>()) {
      if (label->buddy() == control) found = label->text();
    }
    EXPECT_EQ(found, QString::fromUtf8(caption)) << name;
  }
}

TEST_F(ProjectChooserTest, EachShowingStartsAfreshInTheLastFolderUsed) {
  const QString before = QDir::currentPath();
  ClickFile(QStringLiteral("red.txt"));
  ASSERT_TRUE(accept->isEnabled());
  QTest::mouseClick(accept, Qt::LeftButton);
  ASSERT_FALSE(chooser.isVisible());

  // Shown again, by another chooser of projects too: no name left over from the last time,
  // Aceptar disabled, and the folder of the file chosen.
  ProjectChooser other;
  for (ProjectChooser* shown : {&chooser, &other}) {
    QDir::setCurrent(QDir::tempPath());
    shown->PrepareForShowing();
    EXPECT_TRUE(Find<QLineEdit>(shown, "Text1")->text().isEmpty());
    EXPECT_FALSE(Find<QPushButton>(shown, "btnAceptar")->isEnabled());
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(root).canonicalPath());
    EXPECT_EQ(QDir(shown->Folder()).canonicalPath(), QDir(root).canonicalPath());
  }
  // Another purpose keeps its own folder.
  ProjectChooser wave(nullptr, FolderPurpose::kWaveReports);
  wave.PrepareForShowing();
  EXPECT_NE(QDir(wave.Folder()).canonicalPath(), QDir(root).canonicalPath());
  chooser.show();
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  QTest::keyClick(nameField, Qt::Key_Return);
  EXPECT_EQ(chosen.count(), 0);
  QDir::setCurrent(before);
}

TEST_F(ProjectChooserTest, CancelarClosesWithoutChoosing) {
  QSignalSpy chosen(&chooser, &ProjectChooser::chosen);
  ClickFile(QStringLiteral("red.txt"));
  QTest::mouseClick(Find<QPushButton>(&chooser, "btnCancelar"), Qt::LeftButton);
  EXPECT_EQ(chosen.count(), 0);
  EXPECT_FALSE(chooser.isVisible());
}

}  // namespace
}  // namespace korvo
