// The controls of the preferences window: where each one stands, and the
// orange-on-black look they share with the window's painted surface.

#include "dialogs/PreferencesWindow.h"

#include "app/Program.h"
#include "skin/Glyphs.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace vistorel {
namespace {

// Orange on black, a dim orange for frames, and a darker one for what is off.
const QColor kOrange = ToQColor(clAccent);
const QColor kFrame(0x7A, 0x4A, 0x20);
const QColor kOff(0x5A, 0x40, 0x30);

const QString kStyle = QStringLiteral(R"(
QFrame#bevel { border: 1px solid #6b4420; border-radius: 2px; background: transparent; }
QListWidget { background: black; color: #FFA14D; border: 1px solid #6b4420; outline: none; }
QListWidget::item { height: 13px; padding: 0 2px; }
QListWidget::item:selected { background: #FFA14D; color: black; }
QScrollBar:vertical { background: #140c05; width: 9px; margin: 0; }
QScrollBar::handle:vertical { background: #9A5E2A; min-height: 6px; border-radius: 2px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }
QLineEdit { background: black; color: #FFA14D; border: none; border-bottom: 1px solid #6b4420;
            selection-background-color: #FFA14D; selection-color: black; }
QCheckBox, QRadioButton { color: #FFA14D; background: transparent; spacing: 6px; }
QCheckBox:disabled, QRadioButton:disabled { color: #5a4030; }
QCheckBox::indicator, QRadioButton::indicator { width: 9px; height: 9px; background: black;
                                                border: 1px solid #9A5E2A; }
QRadioButton::indicator { border-radius: 5px; }
QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: #FFA14D; }
QCheckBox::indicator:checked { background: #FFA14D; border-color: #FFC894; }
QRadioButton::indicator:checked { border-color: #FFC894;
    background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
                                stop:0 #FFA14D, stop:0.55 #FFA14D, stop:0.65 black, stop:1 black); }
QSpinBox { background: black; color: #FFA14D; border: 1px solid #6b4420; padding-left: 2px;
           selection-background-color: #FFA14D; selection-color: black; }
QSpinBox:disabled { color: #5a4030; border-color: #3a2a1a; }
QSpinBox::up-button, QSpinBox::down-button { width: 12px; background: #140c05; border-left: 1px solid #6b4420; }
QSpinBox::up-button:hover, QSpinBox::down-button:hover { background: #2e1a08; }
QSpinBox::up-arrow { width: 0; height: 0; border-left: 3px solid none; border-right: 3px solid none;
                     border-bottom: 4px solid #FFA14D; }
QSpinBox::down-arrow { width: 0; height: 0; border-left: 3px solid none; border-right: 3px solid none;
                       border-top: 4px solid #FFA14D; }
QSpinBox::up-arrow:disabled, QSpinBox::down-arrow:disabled { border-top-color: #5a4030;
                                                             border-bottom-color: #5a4030; }
QToolButton { background: #140c05; color: #FFA14D; border: 1px solid #7a4a20; border-radius: 3px;
              font-weight: bold; }
QToolButton:hover { border-color: #FFA14D; background: #2e1a08; }
QToolButton:pressed { background: #4a2a0c; }
QToolButton:disabled { color: #5a4030; border-color: #3a2a1a; background: transparent; }
QListWidget:focus, QLineEdit:focus, QSpinBox:focus { border-color: #FFA14D; }
QToolButton:focus { border: 2px solid #FFF4E0; }
QCheckBox::indicator:focus, QRadioButton::indicator:focus { border: 1px solid #FFF4E0; }
)");

QToolButton* GlyphButton(QWidget* parent, int left, int top, int width, int height, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setGeometry(left, top, width, height);
    SetUpGlyphButton(*button, tip);
    return button;
}

void Bevel(QWidget* parent, int left, int top, int width, int height) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("bevel"));
    frame->setGeometry(left, top, width, height);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->lower();
}

Font HeadingFont() {
    Font font;
    font.Color = clAccent;
    return font;
}

// The colour buttons show the colour they choose.
QIcon ColorSwatch(TColor color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(kOrange, 1));
    p.setBrush(ToQColor(color));
    p.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

}  // namespace

PreferencesWindow::PreferencesWindow(Program& program)
    : Form(program.App),
      title(program.App, Canvas, kTitleFrames),
      levelHeading(*this, 16, 48, QStringLiteral("Уровень сложности"), HeadingFont()),
      textHeading(*this, 16, 97, QStringLiteral("Текст для чтения"), HeadingFont()),
      fontHeading(*this, 214, 40, QStringLiteral("Настройка шрифта"), HeadingFont()),
      sizeHeading(*this, 215, 65, QStringLiteral("Размер шрифта"), HeadingFont()),
      backColorHeading(*this, 16, 184, QStringLiteral("Цвет фона"), HeadingFont()),
      pictureHeading(*this, 107, 182, QStringLiteral("Картинка"), HeadingFont()),
      textColorHeading(*this, 13, 231, QStringLiteral("Цвет текста"), HeadingFont()),
      usePictureCaption(*this, 128, 232, QStringLiteral("Картинка"), HeadingFont()),
      program(program) {
    ApplyDesign({QStringLiteral("Preferences"), BorderStyle::None, true, 141, 70, 396, 352, false, clBlack});
    BuildControls();
    SetDialogKeys([this] { ApplyPreferences(); }, [this] { CancelPreferences(); });
    acceptFocus = new ImageButtonFocus(*this, QStringLiteral("Принять"), [this] { ApplyPreferences(); });
    cancelFocus = new ImageButtonFocus(*this, QStringLiteral("Отмена"), [this] { CancelPreferences(); });
    closeFocus = new ImageButtonFocus(*this, QStringLiteral("Закрыть"), [this] { CancelPreferences(); });
}

void PreferencesWindow::BuildControls() {
    QWidget* surface = Surface();
    QPalette palette = surface->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, kOrange);
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, kOrange);
    palette.setColor(QPalette::Button, QColor(0x20, 0x14, 0x0A));
    palette.setColor(QPalette::ButtonText, kOrange);
    palette.setColor(QPalette::Highlight, kOrange);
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Light, kFrame);
    palette.setColor(QPalette::Mid, kFrame);
    palette.setColor(QPalette::Dark, kFrame);
    palette.setColor(QPalette::Disabled, QPalette::Text, kOff);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kOff);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, kOff);
    surface->setPalette(palette);
    surface->setStyleSheet(kStyle);

    // The three groups: level and text, font, colours.
    Bevel(surface, 8, 46, 193, 132);
    Bevel(surface, 208, 46, 177, 132);
    Bevel(surface, 8, 180, 377, 122);

    levelList = new QListWidget(surface);
    levelList->setGeometry(16, 64, 177, 25);
    levelList->addItems({QStringLiteral("Для начинающих"), QStringLiteral("Нормальный"), QStringLiteral("Сложный"),
                         QStringLiteral("Режим просмотра")});
    levelList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    levelList->setAccessibleName(levelHeading.Caption());

    textPathEdit = new QLineEdit(surface);
    textPathEdit->setGeometry(18, 112, 121, 21);
    textPathEdit->setAccessibleName(textHeading.Caption());
    textFileButton = GlyphButton(surface, 143, 113, 33, 19, QStringLiteral("Выбрать текст"));
    textFileButton->setIcon(GlyphIcon(Glyph::Folder));

    // The divider's caption is the box's own, so that a click on it works the box.
    smartDividerBox = new QCheckBox(QStringLiteral("Умный делитель строк"), surface);
    smartDividerBox->setGeometry(18, 136, 180, 17);

    defaultSizeButton = new QRadioButton(QStringLiteral("По умолчанию"), surface);
    defaultSizeButton->setGeometry(216, 80, 166, 17);
    customSizeButton = new QRadioButton(QStringLiteral("По выбору"), surface);
    customSizeButton->setGeometry(216, 96, 166, 17);
    // The stored size is one byte: the spin box offers what it can hold.
    // The heading cuts the group's frame line, as a group title does.
    QLabel* heading = fontHeading.Widget();
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::Window, Qt::black);
    heading->setPalette(headingPalette);
    heading->setAutoFillBackground(true);
    heading->setContentsMargins(3, 0, 3, 0);
    heading->move(heading->x() - 3, heading->y());
    heading->resize(heading->sizeHint());
    fontSizeSpin = new QSpinBox(surface);
    fontSizeSpin->setGeometry(216, 120, 48, 22);
    fontSizeSpin->setRange(1, 255);
    fontSizeSpin->setAccessibleName(sizeHeading.Caption());
    fontButton = GlyphButton(surface, 272, 120, 23, 22, QStringLiteral("Выбрать шрифт"));
    fontButton->setText(QStringLiteral("Aa"));

    backColorButton = GlyphButton(surface, 16, 200, 33, 22, QStringLiteral("Цвет фона"));
    picturePathEdit = new QLineEdit(surface);
    picturePathEdit->setGeometry(123, 198, 90, 19);
    picturePathEdit->setAccessibleName(QStringLiteral("Файл картинки"));
    usePictureBox = new QCheckBox(surface);
    usePictureBox->setGeometry(107, 230, 18, 17);
    usePictureBox->setAccessibleName(QStringLiteral("Показывать картинку"));
    pictureButton = GlyphButton(surface, 189, 232, 28, 17, QStringLiteral("Выбрать картинку"));
    pictureButton->setIcon(GlyphIcon(Glyph::Picture));
    textColorButton = GlyphButton(surface, 16, 248, 25, 22, QStringLiteral("Цвет текста"));

    previewPanel = new QWidget(surface);
    previewPanel->setGeometry(224, 187, 153, 110);
    previewPanel->setAutoFillBackground(true);
    previewPicture = new QLabel(previewPanel);
    previewPicture->setGeometry(0, 0, 153, 110);
    sampleLabel = new QLabel(QStringLiteral("ПРИМЕР ТЕКСТА"), previewPanel);
    sampleLabel->setGeometry(3, 40, 150, 70);
    sampleLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sampleLabel->setTextFormat(Qt::PlainText);
    sampleLabel->setAttribute(Qt::WA_TranslucentBackground);

    exerciseFont_ = DefaultSampleFont();
    SetSampleFont(exerciseFont_);
    SetPreviewColor(clBlack);
    usePictureBox->setChecked(true);
    defaultSizeButton->setChecked(true);
    fontSizeSpin->setValue(12);
    fontSizeSpin->setEnabled(false);

    // Every control runs its handler through the guard.
    auto guarded = [this](void (PreferencesWindow::*handler)()) {
        return [this, handler] { App().Guard([this, handler] { (this->*handler)(); }); };
    };
    QObject::connect(textFileButton, &QToolButton::clicked, surface, guarded(&PreferencesWindow::ChooseTextFile));
    QObject::connect(pictureButton, &QToolButton::clicked, surface, guarded(&PreferencesWindow::ChoosePicture));
    QObject::connect(backColorButton, &QToolButton::clicked, surface, guarded(&PreferencesWindow::ChooseBackColor));
    QObject::connect(textColorButton, &QToolButton::clicked, surface, guarded(&PreferencesWindow::ChooseTextColor));
    QObject::connect(fontButton, &QToolButton::clicked, surface, guarded(&PreferencesWindow::ChooseFont));
    QObject::connect(defaultSizeButton, &QRadioButton::toggled, surface, guarded(&PreferencesWindow::OnSizeChoiceToggled));
    QObject::connect(usePictureBox, &QCheckBox::toggled, surface, guarded(&PreferencesWindow::OnUsePictureToggled));
}

Font PreferencesWindow::DefaultSampleFont() {
    Font font;
    // 15 pixels: the sample's width in the faces installed here fits the preview.
    font.Height = 15;
    font.Bold = true;
    return font;
}

void PreferencesWindow::SetPreviewColor(TColor color) {
    previewColor_ = color;
    QPalette palette = previewPanel->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    previewPanel->setPalette(palette);
    backColorButton->setIcon(ColorSwatch(color));
}

void PreferencesWindow::SetSampleFont(const Font& font) {
    sampleFont_ = font;
    // A large font is shown as large as the preview can hold the whole sample.
    QFont shown = font.ToQFont();
    const int room = previewPanel->width() - 2 * sampleLabel->x();
    while (shown.pixelSize() > 8 && QFontMetrics(shown).horizontalAdvance(sampleLabel->text()) > room) {
        shown.setPixelSize(shown.pixelSize() - 1);
    }
    sampleLabel->setFont(shown);
    QPalette palette = sampleLabel->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font.Color));
    sampleLabel->setPalette(palette);
    textColorButton->setIcon(ColorSwatch(font.Color));
}

}  // namespace vistorel
