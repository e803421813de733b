#pragma once

#include "platform/Font.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"
#include "skin/Skin.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QWidget;

namespace vistorel {

class Program;

// The preferences window: level, text, font, colours and background picture of
// the exercises. Nothing reaches the settings until the user accepts.
class PreferencesWindow : public Form {
public:
    explicit PreferencesWindow(Program& program);

    void FormCreate() override;
    void FormShow() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // Shows the window with its controls loaded from the settings.
    void FillPreferences();
    // The accept button: the controls into the settings, the level's preset,
    // and the window hidden. A path the settings cannot hold, or a background
    // picture that cannot be loaded, is refused with a message before anything
    // changes, and the window stays open.
    void ApplyPreferences();
    // The cancel button and the close box: hides the window, applies nothing.
    void CancelPreferences();

    // The small buttons beside the fields.
    void ChooseTextFile();
    void ChoosePicture();
    void ChooseBackColor();
    void ChooseTextColor();
    void ChooseFont();
    // The size choice and the picture switch: the controls that depend on them follow.
    void OnSizeChoiceToggled();
    void OnUsePictureToggled();

    // The font the exercise text takes once the user has chosen one in the
    // font dialog and accepted the preferences (see Program::CustomFontChosen).
    const Font& ExerciseFont() const { return exerciseFont_; }
    // The preview's font (face, size, style, colour) and background colour.
    const Font& SampleFont() const { return sampleFont_; }
    TColor PreviewColor() const { return previewColor_; }

    // The accept and cancel pictures, and the accept button's hover flag: the
    // about and bookmark windows draw the same buttons with them.
    const ButtonImages& AcceptImages() const { return accept_; }
    const ButtonImages& CancelImages() const { return cancel_; }
    bool& AcceptHover() { return acceptHover_; }
    bool& CancelHover() { return cancelHover_; }

    TitleAnimation title;

    // Accept, cancel and the close symbol as the keyboard and a screen reader
    // reach them, in Tab order after the controls.
    ImageButtonFocus* acceptFocus = nullptr;
    ImageButtonFocus* cancelFocus = nullptr;
    ImageButtonFocus* closeFocus = nullptr;

    // Level and text.
    Label levelHeading;
    QListWidget* levelList = nullptr;
    Label textHeading;
    QLineEdit* textPathEdit = nullptr;
    QToolButton* textFileButton = nullptr;
    QCheckBox* smartDividerBox = nullptr;
    // Font.
    Label fontHeading;
    Label sizeHeading;
    QRadioButton* defaultSizeButton = nullptr;
    QRadioButton* customSizeButton = nullptr;
    QSpinBox* fontSizeSpin = nullptr;
    QToolButton* fontButton = nullptr;
    // Colours and picture.
    Label backColorHeading;
    Label pictureHeading;
    QToolButton* backColorButton = nullptr;
    QLineEdit* picturePathEdit = nullptr;
    Label textColorHeading;
    QCheckBox* usePictureBox = nullptr;
    Label usePictureCaption;
    QToolButton* pictureButton = nullptr;
    QToolButton* textColorButton = nullptr;
    // The preview: background colour or picture, and the sample text.
    QWidget* previewPanel = nullptr;
    QLabel* previewPicture = nullptr;
    QLabel* sampleLabel = nullptr;

    static constexpr int kTitleFrames = 10;

private:
    // Accept, cancel and close, in window coordinates.
    std::array<ImageButton, 3> Buttons() const;
    void HideWindow();
    void BuildControls();
    // Bold, 16 pixels high: the sample text before any font was chosen.
    static Font DefaultSampleFont();
    void SetPreviewColor(TColor color);
    void SetSampleFont(const Font& font);
    // Loads the picture into the preview; raises FileError when it cannot.
    void LoadPreviewPicture(const QString& path);

    Program& program;
    ButtonImages accept_;
    ButtonImages cancel_;
    ButtonImages close_;
    Bitmap tile_;
    bool acceptHover_ = false;
    bool cancelHover_ = false;

    TColor previewColor_ = clBlack;
    Font sampleFont_;
    Font exerciseFont_;
    bool fontChosen_ = false;      // the font dialog was confirmed since the window was filled
    // The paths as the window was filled with them: a field still showing its
    // path is left as stored.
    QString filledTextPath_;
    QString filledPicturePath_;
    TColor lastDialogColor_ = clBlack;  // the colour dialog opens with the colour chosen last
};

}  // namespace vistorel
