// The preferences window: what accept stores and refuses, what cancel keeps,
// the fill from the settings, the picture preview, the chosen font reaching
// the exercise, and the window's own painting.

#include "dialogs/PreferencesWindow.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

class PreferencesTest : public ::testing::Test {
protected:
    PreferencesTest()
        : p([](test::StartDirectory& dir) {
              dir.Write(QStringLiteral("text.txt"), QByteArray("Первая строка текста\nВторая строка\n"));
              QDir(dir.Path()).mkdir(QStringLiteral("pictures"));
              QFile::copy(QDir(test::ImagesDirectory()).filePath(QStringLiteral("bgr.bmp")),
                          dir.File(QStringLiteral("pictures/tile.bmp")));
          }) {
        QCursor::setPos(-1000, -1000);
        Settings& s = p->SettingsRecord;
        s.TextPath.SetText(QStringLiteral("text.txt"));
        s.Level = 1;
        s.FontSize = 20;
        s.TextColor = clRed;
        s.BackColor = clWhite;
        p->Preset.Apply(1);
    }
    PreferencesWindow& W() { return *p->preferencesWindow; }
    // Presses on the window's surface, as the window system delivers them.
    void Press(Qt::MouseButton button, int x, int y) { QTest::mousePress(W().Surface(), button, {}, QPoint(x, y)); }
    void Accept() { Press(Qt::LeftButton, 250, 330); }
    void Cancel() { Press(Qt::RightButton, 350, 330); }
    void CloseBox() { Press(Qt::LeftButton, 380, 20); }
    QByteArray Stored() { return test::BytesOf(p->SettingsRecord); }

    test::ProgramUnderTest p;
};

// Accept copies every control into the record and applies the level's preset;
// "По умолчанию" stores 12 whatever the spin box shows, and the spin box
// offers only what the one-byte size can hold.
TEST_F(PreferencesTest, AcceptStoresTheControlsAndAppliesThePreset) {
    W().FillPreferences();
    EXPECT_EQ(p->exerciseWindow->Color(), clWhite);  // showing the window gives the exercise its colour
    W().fontSizeSpin->setValue(300);
    EXPECT_EQ(W().fontSizeSpin->value(), 255);
    W().fontSizeSpin->setValue(0);
    EXPECT_EQ(W().fontSizeSpin->value(), 1);
    W().levelList->setCurrentRow(2);
    W().smartDividerBox->setChecked(true);
    W().defaultSizeButton->setChecked(true);
    EXPECT_FALSE(W().fontSizeSpin->isEnabled());
    W().fontSizeSpin->setValue(77);  // whatever the disabled box shows
    p.Test.Dialogs.Colours = {0x123456, 0x00FF00};
    W().ChooseBackColor();
    W().ChooseTextColor();
    Accept();

    const Settings& s = p->SettingsRecord;
    EXPECT_FALSE(W().Visible());
    EXPECT_EQ(s.Level, 2);
    EXPECT_EQ(p->Preset.StageInterval[1], 200);  // the hard row
    EXPECT_EQ(p->Preset.StageTicks[4], 120);
    EXPECT_EQ(s.FontSize, 12);
    EXPECT_EQ(s.DefaultFontSize, 1);
    EXPECT_EQ(s.SmartDivider, 1);
    EXPECT_EQ(s.BackColor, 0x123456);
    EXPECT_EQ(s.TextColor, 0x00FF00);
    EXPECT_EQ(s.TextPath.Text(), QStringLiteral("text.txt"));

    // A size of the user's choice is stored as shown.
    W().FillPreferences();
    W().customSizeButton->setChecked(true);
    W().fontSizeSpin->setValue(255);
    Accept();
    EXPECT_EQ(s.FontSize, 255);
    EXPECT_EQ(s.DefaultFontSize, 0);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// A level outside the list (from a damaged settings file) selects nothing;
// accept then keeps the level and the stage tables as they were.
TEST_F(PreferencesTest, LevelOutsideTheListKeepsTheTables) {
    p->SettingsRecord.Level = 7;
    const DifficultyPreset before = p->Preset;
    W().FillPreferences();
    EXPECT_EQ(W().levelList->currentRow(), -1);
    Accept();
    EXPECT_EQ(p->SettingsRecord.Level, 7);
    EXPECT_EQ(p->Preset.StageInterval, before.StageInterval);
    EXPECT_EQ(p->Preset.StageTicks, before.StageTicks);
}

// A path below the start directory is stored relative to it, and fits when
// it has 100 characters; one that still does not fit (101), or holds
// characters Windows-1251 cannot, is refused before anything changes, and
// the window stays open.
TEST_F(PreferencesTest, PathsThatDoNotFitAreRefused) {
    W().FillPreferences();
    const QByteArray before = Stored();
    const QString longName = QString(86, QLatin1Char('d')) + QStringLiteral(".txt");
    W().levelList->setCurrentRow(3);
    for (const auto& [text, picture] : {std::pair{QStringLiteral("/elsewhere/") + longName, QString()},
                                        std::pair{QStringLiteral("text.txt"), QStringLiteral("/картинки/海.bmp")}}) {
        p.Test.Errors.Messages.clear();
        W().textPathEdit->setText(text);
        W().picturePathEdit->setText(picture);
        Accept();
        EXPECT_TRUE(W().Visible()) << text.toStdString();
        EXPECT_EQ(Stored(), before) << text.toStdString();
        EXPECT_EQ(p->Preset.StageInterval[1], 300);
        ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
        EXPECT_TRUE(p.Test.Errors.Messages[0].startsWith(QStringLiteral("Путь"))) << p.Test.Errors.Messages[0].toStdString();
    }

    p->TextCount = 1;
    p->TextLibrary[1].FilePath.SetText(QStringLiteral("texts/short.txt"));
    W().picturePathEdit->setText(p.Dir.File(QStringLiteral("pictures/tile.bmp")));
    const QString fullName = QString(90, QLatin1Char('d')) + QStringLiteral(".txt");  // "texts/" and it: 100
    W().textPathEdit->setText(p.Dir.File(QStringLiteral("texts/") + fullName));
    ASSERT_GT(W().textPathEdit->text().size(), 100);
    Accept();
    EXPECT_FALSE(W().Visible());
    EXPECT_EQ(p->SettingsRecord.TextPath.Text(), QStringLiteral("texts/") + fullName);
    EXPECT_EQ(p->SettingsRecord.PicturePath.Text(), QStringLiteral("pictures/tile.bmp"));
    EXPECT_EQ(p->CurrentTextIndex, 0);  // the new text is not in the library

    // Bookmarks follow a text that is in the library.
    W().FillPreferences();
    W().textPathEdit->setText(p.Dir.File(QStringLiteral("texts/short.txt")));
    Accept();
    EXPECT_EQ(p->CurrentTextIndex, 1);
    // A picture background switched on without a picture is refused: it would
    // only be reported again at every later opening.
    W().FillPreferences();
    const QByteArray kept = Stored();
    p.Test.Errors.Messages.clear();
    W().usePictureBox->setChecked(true);
    W().picturePathEdit->clear();
    Accept();
    EXPECT_TRUE(W().Visible());
    EXPECT_EQ(Stored(), kept);
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("не выбрана")));
}

// Accepting without touching the path fields stores them as they were: an
// absolute path below the start directory stays absolute (it is what the
// library entry holds), so the current text keeps its bookmarks.
TEST_F(PreferencesTest, AcceptLeavesUntouchedPathsAsTheyWere) {
    const QString text = p.Dir.File(QStringLiteral("text.txt"));
    ASSERT_LE(text.size(), 50) << "the temporary folder's path is too long for a library entry";
    Settings& s = p->SettingsRecord;
    s.TextPath.SetText(text);
    s.UsePicture = 1;
    s.PicturePath.SetText(p.Dir.File(QStringLiteral("pictures/tile.bmp")));
    p->TextCount = 2;
    p->TextLibrary[1].FilePath.SetText(QStringLiteral("other.txt"));
    p->TextLibrary[2].FilePath.SetText(text);
    p->CurrentTextIndex = 2;
    const QByteArray before = Stored();
    W().FillPreferences();
    Accept();
    EXPECT_FALSE(W().Visible());
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << qPrintable(p.Test.Errors.Messages.join(QLatin1Char('\n')));
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(p->CurrentTextIndex, 2);

    // A path the user changes is still stored the short way.
    W().FillPreferences();
    W().textPathEdit->setText(p.Dir.File(QStringLiteral("./other.txt")));
    Accept();
    EXPECT_EQ(p->SettingsRecord.TextPath.Text(), QStringLiteral("other.txt"));
    EXPECT_EQ(p->CurrentTextIndex, 1);
}

// A picture background whose file does not exist (typed, or stored and since
// removed) is refused at accept, naming the file, and nothing is stored.
TEST_F(PreferencesTest, APictureThatCannotBeLoadedIsRefusedAtAccept) {
    W().FillPreferences();
    const QByteArray before = Stored();
    W().levelList->setCurrentRow(3);
    W().usePictureBox->setChecked(true);
    W().picturePathEdit->setText(QStringLiteral("pictures/gone.bmp"));
    Accept();
    EXPECT_TRUE(W().Visible());
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(p->Preset.StageInterval[1], 300);
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("gone.bmp"))) << qPrintable(p.Test.Errors.Messages[0]);

    // The same file without the picture switched on is no background: accepted.
    W().usePictureBox->setChecked(false);
    Accept();
    EXPECT_FALSE(W().Visible());
    EXPECT_EQ(p->SettingsRecord.PicturePath.Text(), QStringLiteral("pictures/gone.bmp"));
    EXPECT_EQ(p->SettingsRecord.Level, 3);
}

// Cancel and the close box apply nothing, not even a font; reopening shows
// the stored values again.
TEST_F(PreferencesTest, CancelKeepsTheSettings) {
    for (const bool closeBox : {false, true}) {
        W().FillPreferences();
        const QByteArray before = Stored();
        W().levelList->setCurrentRow(3);
        W().textPathEdit->setText(QStringLiteral("other.txt"));
        W().usePictureBox->setChecked(true);
        p.Test.Dialogs.Colours = {clGreen, clBlue};
        p.Test.Dialogs.Fonts = {Font{QStringLiteral("DejaVu Serif"), 40, true}};
        W().ChooseBackColor();
        W().ChooseTextColor();
        W().ChooseFont();
        closeBox ? CloseBox() : Cancel();
        EXPECT_FALSE(W().Visible());
        EXPECT_EQ(Stored(), before);
        EXPECT_EQ(p->Preset.StageInterval[1], 300);
        EXPECT_FALSE(p->CustomFontChosen);

        W().FillPreferences();
        EXPECT_EQ(W().levelList->currentRow(), 1);
        EXPECT_EQ(W().textPathEdit->text(), QStringLiteral("text.txt"));
        EXPECT_FALSE(W().usePictureBox->isChecked());
        EXPECT_EQ(W().PreviewColor(), clWhite);
        EXPECT_EQ(W().SampleFont().Color, clRed);
        EXPECT_EQ(W().SampleFont().Name, QStringLiteral("MS Sans Serif"));
        EXPECT_TRUE(W().customSizeButton->isChecked());
        EXPECT_EQ(W().fontSizeSpin->value(), 20);
        Cancel();
    }
}

// A stored picture that cannot be loaded is reported, and the fill still
// loads the text colour and the size; the preview and the picture button
// always follow the check box, whatever was left before.
TEST_F(PreferencesTest, PictureFailureAndTheCheckBoxInStep) {
    Settings& s = p->SettingsRecord;
    s.UsePicture = 1;
    s.PicturePath.SetText(QStringLiteral("missing.bmp"));
    s.TextColor = clLime;
    s.FontSize = 33;
    W().FillPreferences();
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("missing.bmp")));
    EXPECT_EQ(W().SampleFont().Color, clLime);
    EXPECT_EQ(W().fontSizeSpin->value(), 33);
    EXPECT_TRUE(W().usePictureBox->isChecked());
    EXPECT_TRUE(W().previewPicture->pixmap().isNull());

    for (bool on : {false, true, false}) {
        W().usePictureBox->setChecked(on);
        EXPECT_EQ(W().previewPicture->isVisible(), on);
        EXPECT_EQ(W().pictureButton->isEnabled(), on);
    }
    Cancel();  // the box was left unchecked
    s.PicturePath.SetText(QStringLiteral("pictures/tile.bmp"));
    W().FillPreferences();
    EXPECT_TRUE(W().usePictureBox->isChecked());
    EXPECT_TRUE(W().previewPicture->isVisible());
    EXPECT_TRUE(W().pictureButton->isEnabled());
    EXPECT_FALSE(W().previewPicture->pixmap().isNull());

    // A chosen picture that cannot be loaded is reported; the field keeps its path.
    p.Test.Errors.Messages.clear();
    p.Test.Dialogs.Pictures = {p.Dir.File(QStringLiteral("text.txt"))};
    p.Test.App.Guard([&] { W().ChoosePicture(); });
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_EQ(W().picturePathEdit->text(), QStringLiteral("pictures/tile.bmp"));
}

// A font chosen in the dialog and accepted reaches every exercise start whole
// (face, style, colour), in the size the size controls give, which the dialog
// sets to its own.
TEST_F(PreferencesTest, ChosenFontReachesTheExercise) {
    p->mainWindow->ShowMaximized();
    W().FillPreferences();
    p.Test.Dialogs.Fonts = {Font{QStringLiteral("DejaVu Serif"), 32, true, true, false, false, 0x808000}};
    W().ChooseFont();
    EXPECT_TRUE(W().customSizeButton->isChecked());
    EXPECT_EQ(W().fontSizeSpin->value(), 24);
    Accept();
    EXPECT_TRUE(p->CustomFontChosen);
    p->mainWindow->BeginExercise();
    Font shown = p->exerciseWindow->wordLabel.Font();
    EXPECT_EQ(shown.Name, QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(shown.Bold && shown.Italic);
    EXPECT_EQ(shown.Size(), 24);
    EXPECT_EQ(shown.Color, 0x808000);
    EXPECT_EQ(p->SettingsRecord.TextColor, 0x808000);
    p->mainWindow->EndExercise();

    W().FillPreferences();
    W().fontSizeSpin->setValue(40);
    p.Test.Dialogs.Colours = {clBlue};
    W().ChooseTextColor();
    Accept();
    p->mainWindow->BeginExercise();
    shown = p->exerciseWindow->wordLabel.Font();
    EXPECT_EQ(shown.Name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(shown.Size(), 40);
    EXPECT_EQ(shown.Color, clBlue);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// Choosing a text file empties the line buffer and keeps the path for accept.
TEST_F(PreferencesTest, ChoosingATextEmptiesTheLineBuffer) {
    p->mainWindow->ShowMaximized();
    p->mainWindow->BeginExercise();
    p->mainWindow->EndExercise();
    ASSERT_EQ(p->TextLineBuffer.LineCount, 2);
    W().FillPreferences();
    W().ChooseTextFile();  // cancelled
    EXPECT_EQ(p->TextLineBuffer.LineCount, 2);
    p.Test.Dialogs.Files = {p.Dir.File(QStringLiteral("text.txt"))};
    W().ChooseTextFile();
    EXPECT_EQ(p.Test.Dialogs.FiltersAsked.last(), QStringLiteral("Книги и тексты|*.txt;*.fb2;*.fb2.zip;*.epub|Все файлы|*"));
    EXPECT_EQ(p->TextLineBuffer.LineCount, 0);
    EXPECT_TRUE(p->TextLineBuffer.Lines.isEmpty());
    EXPECT_EQ(W().textPathEdit->text(), p.Dir.File(QStringLiteral("text.txt")));
}

// The title plays frames 1..10 once per opening, and the accept and cancel
// buttons light under the pointer.
TEST_F(PreferencesTest, TitleAndButtons) {
    W().FillPreferences();
    const int h = W().Height();
    for (int n = 1; n <= 10; ++n) W().title.OnTick();
    EXPECT_FALSE(W().title.AnimationTimer().Enabled());
    const QImage hover(QDir(test::ImagesDirectory()).filePath(QStringLiteral("accept1.bmp")));
    W().FormMouseMove(250, h - 20);
    EXPECT_EQ(W().Canvas.Pixel(230 + 28, h - 38 + 13), FromRgb(hover.pixel(28, 13)));
    W().FormMouseMove(330, h - 20);
    EXPECT_FALSE(W().AcceptHover());
    EXPECT_TRUE(W().CancelHover());
    Cancel();
    W().FillPreferences();
    EXPECT_TRUE(W().title.AnimationTimer().Enabled());
    W().title.OnTick();
    Cancel();  // hidden part-way through the title: it plays from the start next time
    EXPECT_EQ(W().title.Frame(), 0);
    EXPECT_FALSE(W().title.AnimationTimer().Enabled());
}

}  // namespace
}  // namespace vistorel
