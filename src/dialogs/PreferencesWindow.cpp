#include "dialogs/PreferencesWindow.h"

#include "app/Program.h"
#include "books/Document.h"
#include "engine/ExerciseWindow.h"
#include "library/AddTextWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace vistorel {
namespace {

enum PreferencesButton { kAccept, kCancel, kClose };

// The size of the exercise text when the default is chosen.
constexpr int kDefaultFontSize = 12;
constexpr int kPathCapacity = 100;

}  // namespace

void PreferencesWindow::FormCreate() {
    acceptHover_ = false;
    cancelHover_ = false;
    program.LoadImageOrReport(tile_, QStringLiteral("images\\bgr.bmp"));
    title.LoadStill(program, QStringLiteral("images\\options_title0000.bmp"));
    program.LoadImageOrReport(close_.Normal, QStringLiteral("images\\winclose.bmp"));
    LoadButtonImages(program, accept_, "images\\accept.bmp", "images\\accept1.bmp");
    LoadButtonImages(program, cancel_, "images\\cancel.bmp", "images\\cancel1.bmp");
    title.LoadFrames(program, QStringLiteral("images\\options_title%1.bmp"), 1);
    title.Reset();
}

std::array<ImageButton, 3> PreferencesWindow::Buttons() const {
    const int h = Height();
    return {{
        {&accept_, {230, h - 38}, {230, h - 36, 285, h - 10}, {230, h - 36, 285, h - 10}},
        {&cancel_, {320, h - 38}, {320, h - 36, 380, h - 10}, {320, h - 36, 380, h - 10}},
        {&close_, {370, 5}, {370, 5, 400, 45}, {370, 5, 400, 45}},
    }};
}

void PreferencesWindow::FormShow() {
    // The exercise window takes the stored background colour, even while an exercise runs.
    program.exerciseWindow->SetColor(program.SettingsRecord.BackColor);
}

void PreferencesWindow::FormPaint() {
    TileRows(Canvas, tile_, 32, Width(), Height());
    title.Start();
    // A repaint keeps the part of the title already played.
    title.DrawCurrent();
    const auto buttons = Buttons();
    for (const ImageButton& button : buttons) button.DrawNormal(Canvas);
    acceptFocus->Place(buttons[kAccept]);
    cancelFocus->Place(buttons[kCancel]);
    closeFocus->Place(buttons[kClose]);
    acceptHover_ = false;
    cancelHover_ = false;
    DrawSkinOutlines(Canvas, Width(), Height());
}

void PreferencesWindow::FormMouseMove(int x, int y) {
    const auto buttons = Buttons();
    buttons[kAccept].Track(Canvas, x, y, acceptHover_);
    buttons[kCancel].Track(Canvas, x, y, cancelHover_);
}

void PreferencesWindow::FormMouseDown(MouseButton, int x, int y) {
    const auto buttons = Buttons();
    if (buttons[kCancel].Clicked(x, y)) CancelPreferences();
    if (buttons[kAccept].Clicked(x, y)) ApplyPreferences();
    if (buttons[kClose].Clicked(x, y)) CancelPreferences();
}

void PreferencesWindow::HideWindow() {
    title.Reset();
    title.Stop();  // the title plays again from the start next time
    Hide();
}

void PreferencesWindow::CancelPreferences() { HideWindow(); }

void PreferencesWindow::FillPreferences() {
    const Settings& settings = program.SettingsRecord;
    Show();
    smartDividerBox->setChecked(settings.SmartDivider != 0);
    levelList->setCurrentRow(settings.Level < levelList->count() ? settings.Level : -1);
    textPathEdit->setText(settings.TextPath.Text());
    picturePathEdit->setText(settings.PicturePath.Text());
    filledTextPath_ = textPathEdit->text();
    filledPicturePath_ = picturePathEdit->text();
    fontChosen_ = false;

    // What was changed and cancelled before is not shown as if it were stored.
    SetPreviewColor(settings.BackColor);
    usePictureBox->setChecked(settings.UsePicture != 0);
    OnUsePictureToggled();
    QString pictureError;
    if (settings.UsePicture) {
        try {
            LoadPreviewPicture(settings.PicturePath.Text());
        } catch (const Error& e) {
            previewPicture->clear();
            pictureError = e.Message();
        }
    }

    Font sample = program.CustomFontChosen ? exerciseFont_ : DefaultSampleFont();
    sample.Color = settings.TextColor;
    SetSampleFont(sample);

    // A record that never held a size (a first run) offers the default one.
    if (settings.DefaultFontSize || settings.FontSize == 0) {
        defaultSizeButton->setChecked(true);
        fontSizeSpin->setValue(kDefaultFontSize);
        fontSizeSpin->setEnabled(false);
    } else {
        customSizeButton->setChecked(true);
        fontSizeSpin->setEnabled(true);
        fontSizeSpin->setValue(settings.FontSize);
    }
    // The picture that could not be shown is reported once the rest is filled in.
    if (!pictureError.isEmpty()) App().ReportError(pictureError);
}

void PreferencesWindow::ApplyPreferences() {
    // Both paths are checked before anything changes: a refusal keeps the window
    // open. A path field the user left as it was filled keeps its stored bytes
    // (an absolute path stays absolute, and so still names its library entry).
    const bool textChanged = textPathEdit->text() != filledTextPath_;
    const bool pictureChanged = picturePathEdit->text() != filledPicturePath_;
    const QString textPath = textChanged ? program.StorablePath(textPathEdit->text(), kPathCapacity) : QString();
    const QString picturePath =
        pictureChanged ? program.StorablePath(picturePathEdit->text(), kPathCapacity) : picturePathEdit->text();
    if (usePictureBox->isChecked() && picturePath.trimmed().isEmpty()) {
        throw Error(QStringLiteral("Для фона отмечена картинка, но она не выбрана: выберите файл картинки "
                                   "или снимите отметку «Картинка»."));
    }
    // A picture that cannot be shown would only be reported at every later
    // opening and exercise start: it is refused now, and the preview shows it.
    if (usePictureBox->isChecked()) LoadPreviewPicture(picturePathEdit->text());

    Settings& settings = program.SettingsRecord;
    const QString previousText = settings.TextPath.Text();
    settings.SmartDivider = smartDividerBox->isChecked() ? 1 : 0;
    if (textChanged) settings.TextPath.SetText(textPath);
    settings.TextColor = sampleFont_.Color;
    const int level = levelList->currentRow();
    if (level >= 0) settings.Level = static_cast<std::uint16_t>(level);
    settings.FontSize = static_cast<std::uint8_t>(customSizeButton->isChecked() ? fontSizeSpin->value() : kDefaultFontSize);
    settings.DefaultFontSize = defaultSizeButton->isChecked() ? 1 : 0;
    settings.UsePicture = usePictureBox->isChecked() ? 1 : 0;
    settings.BackColor = previewColor_;
    if (pictureChanged) settings.PicturePath.SetText(picturePath);
    program.Preset.Apply(level);

    // A font chosen in the dialog counts from now on, in the size the size controls give.
    if (fontChosen_) program.CustomFontChosen = true;
    if (program.CustomFontChosen) {
        exerciseFont_ = sampleFont_;
        exerciseFont_.SetSize(settings.FontSize);
    }
    fontChosen_ = false;

    // Bookmarks follow the text that is now current.
    if (textChanged && textPath != previousText) {
        program.CurrentTextIndex = FindCurrentText(program.TextLibrary, program.TextCount, settings.TextPath,
                                                   program.StartDirectory);
    }
    HideWindow();
}

void PreferencesWindow::ChooseTextFile() {
    const auto path = App().StandardDialogs().OpenFile(TextFileFilter());
    if (!path) return;
    // The text changes: the lines of the previous one are let go.
    program.TextLineBuffer.Lines.clear();
    program.TextLineBuffer.LineCount = 0;
    textPathEdit->setText(*path);
    program.addTextWindow->SetFilePath(*path);
}

void PreferencesWindow::LoadPreviewPicture(const QString& path) {
    if (path.trimmed().isEmpty()) {
        throw Error(QStringLiteral("Картинка для фона не выбрана: выберите её кнопкой рядом с полем пути "
                                   "или снимите флажок «Картинка»."));
    }
    Bitmap picture;
    picture.LoadFromFile(program.ResolvePath(path));
    // The preview shows the picture as the exercise window does: covering it, centred.
    previewPicture->setPixmap(QPixmap::fromImage(CoverImage(picture.Image(), previewPanel->size())));
}

void PreferencesWindow::ChoosePicture() {
    const auto path = App().StandardDialogs().OpenPicture();
    if (!path) return;
    // A picture that cannot be loaded is reported and the field keeps its path.
    LoadPreviewPicture(*path);
    picturePathEdit->setText(*path);
}

void PreferencesWindow::ChooseBackColor() {
    const auto color = App().StandardDialogs().ChooseColor(lastDialogColor_);
    if (!color) return;
    lastDialogColor_ = *color;
    SetPreviewColor(*color);
}

void PreferencesWindow::ChooseTextColor() {
    const auto color = App().StandardDialogs().ChooseColor(lastDialogColor_);
    if (!color) return;
    lastDialogColor_ = *color;
    Font font = sampleFont_;
    font.Color = *color;
    SetSampleFont(font);
}

void PreferencesWindow::ChooseFont() {
    const auto chosen = App().StandardDialogs().ChooseFont(sampleFont_);
    if (!chosen) return;
    SetSampleFont(*chosen);
    fontChosen_ = true;
    // The size controls show the chosen size, so that what is stored is what was chosen.
    customSizeButton->setChecked(true);
    fontSizeSpin->setValue(std::max(1, chosen->Size()));
}

void PreferencesWindow::OnSizeChoiceToggled() {
    if (defaultSizeButton->isChecked()) {
        fontSizeSpin->setValue(kDefaultFontSize);
        fontSizeSpin->setEnabled(false);
    } else if (customSizeButton->isChecked()) {
        fontSizeSpin->setEnabled(true);
    }
}

void PreferencesWindow::OnUsePictureToggled() {
    // Set from the box, never toggled: the box and the preview always agree.
    const bool on = usePictureBox->isChecked();
    previewPicture->setVisible(on);
    pictureButton->setEnabled(on);
}

}  // namespace vistorel
