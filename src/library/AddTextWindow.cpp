#include "library/AddTextWindow.h"

#include "app/Program.h"
#include "books/Document.h"
#include "dialogs/PreferencesWindow.h"
#include "library/LibraryShared.h"
#include "library/TextManagerWindow.h"
#include "platform/FileAccess.h"
#include "platform/Plural.h"
#include "platform/TextCodec.h"
#include "skin/Glyphs.h"

#include <algorithm>

namespace vistorel {
namespace {

constexpr int kAddTitleFrames = 11;

}  // namespace

AddTextWindow::AddTextWindow(Program& program)
    : Form(program.App),
      numberCaption(*this, 24, 40, QStringLiteral("Номер текста"), LibraryFont(true)),
      numberLabel(*this, 112, 40, QString(), LibraryFont()),
      titleCaption(*this, 24, 64, QStringLiteral("Название"), LibraryFont(true)),
      pathCaption(*this, 24, 112, QStringLiteral("Путь к файлу"), LibraryFont(true)),
      descriptionCaption(*this, 24, 168, QStringLiteral("Описание"), LibraryFont(true)),
      titleEdit(Surface()),
      pathEdit(Surface()),
      chooseFileButton(Surface()),
      descriptionEdit(Surface()),
      titleAnimation(program.App, Canvas, kAddTitleFrames),
      program(program),
      buttons_{{
          {&images_[kAdd], {250, 310}, {250, 310, 310, 330}, {250, 310, 310, 330}},
          {&images_[kCancel], {350, 310}, {350, 310, 400, 330}, {350, 310, 400, 330}},
      }} {
    ApplyDesign({QStringLiteral("Добавить текст"), BorderStyle::None, true, 87, 47, 427, 344, false, clBlack});
    // The number keeps a gap after its caption, whatever the width of the face.
    numberLabel.SetLeft(std::max(112, numberCaption.Left() + numberCaption.Width() + 6));
    titleEdit.setGeometry(24, 80, 377, 21);
    titleEdit.setMaxLength(50);
    StyleLibraryControl(titleEdit);
    pathEdit.setGeometry(22, 128, 355, 21);
    StyleLibraryControl(pathEdit);
    chooseFileButton.setGeometry(384, 128, 23, 22);
    SetUpGlyphButton(chooseFileButton, QStringLiteral("Выбрать файл текста"));
    chooseFileButton.setIcon(GlyphIcon(Glyph::Folder));
    StyleLibraryControl(chooseFileButton);
    descriptionEdit.setGeometry(24, 184, 289, 89);
    descriptionEdit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    descriptionEdit.setTabChangesFocus(true);
    StyleLibraryControl(descriptionEdit);
    QObject::connect(&chooseFileButton, &QToolButton::clicked, &chooseFileButton,
                     [this] { App().Guard([this] { ChooseTextFile(); }); });
    SetDialogKeys([this] { StoreTextEntry(); }, [this] { Cancel(); });
    titleEdit.setAccessibleName(titleCaption.Caption());
    pathEdit.setAccessibleName(pathCaption.Caption());
    descriptionEdit.setAccessibleName(descriptionCaption.Caption());
    // The painted buttons, in Tab order after the fields.
    focus_ = {new ImageButtonFocus(*this, QStringLiteral("Добавить"), [this] { StoreTextEntry(); }),
              new ImageButtonFocus(*this, QStringLiteral("Отмена"), [this] { Cancel(); })};
    closeFocus_ = new ImageButtonFocus(*this, QStringLiteral("Закрыть"), [this] { Cancel(); });
}

void AddTextWindow::FormCreate() {
    LoadButtonImages(program, images_[kAdd], "images\\add.bmp", "images\\add1.bmp");
    LoadButtonImages(program, images_[kCancel], "images\\cancel.bmp", "images\\cancel1.bmp");
    program.LoadImageOrReport(close_, QStringLiteral("images\\winclose.bmp"));
    program.LoadImageOrReport(tile_, QStringLiteral("images\\bgr.bmp"));
    // This window has no still title: frame n comes from the file numbered n - 1.
    titleAnimation.LoadFrames(program, QStringLiteral("images\\new%1.bmp"), 0);
    titleAnimation.Reset();
    hover_.fill(false);
}

void AddTextWindow::FormPaint() {
    TileRows(Canvas, tile_, 32, Width(), Height());
    Canvas.Draw(390, 5, close_);
    for (const ImageButton& button : buttons_) button.DrawNormal(Canvas);
    DrawSkinOutlines(Canvas, Width(), Height());
    for (int b = 0; b < kButtonCount; ++b) focus_[b]->Place(buttons_[b]);
    closeFocus_->Place(QPoint(390, 5), close_, kCloseRect);
    // The title plays again after every repaint.
    titleAnimation.Reset();
    titleAnimation.Start();
}

void AddTextWindow::FormMouseMove(int x, int y) {
    for (int b = 0; b < kButtonCount; ++b) buttons_[b].Track(Canvas, x, y, hover_[b]);
}

void AddTextWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_[kAdd].Clicked(x, y)) StoreTextEntry();
    if (buttons_[kCancel].Clicked(x, y)) Cancel();
    if (kCloseRect.Contains(x, y)) Cancel();
}

void AddTextWindow::OpenForAdding() {
    modeChosen_ = true;
    AddTextMode = true;
    titleEdit.clear();
    pathEdit.setText(offeredPath_);
    descriptionEdit.clear();
    numberLabel.SetCaption(QString::number(program.TextCount + 1));
    Show();
    titleEdit.setFocus();
}

void AddTextWindow::OpenForReplacing(int slot) {
    modeChosen_ = true;
    AddTextMode = false;
    EditedTextIndex = static_cast<std::uint16_t>(slot);
    numberLabel.SetCaption(QString::number(slot));
    Show();
    titleEdit.setFocus();
}

void AddTextWindow::SetFilePath(const QString& path) {
    pathEdit.setText(path);
    offeredPath_ = path;
}

void AddTextWindow::ChooseTextFile() {
    const std::optional<QString> chosen = App().StandardDialogs().OpenFile(TextFileFilter());
    if (chosen) TakeTextFile(*chosen);
}

void AddTextWindow::TakeTextFile(const QString& path) {
    // A plain text is only named here, as before; a book is read for what it
    // says about itself, and refused now when it cannot be read at all. Its
    // beginning tells which it is.
    const QString file = program.ResolvePath(path);
    const FileRead start = TryReadRegularFile(file, 4096, OverLimit::Cut);
    if (start.Outcome != FileRead::Status::Read || ContainerOf(start.Bytes) == Container::Text) {
        pathEdit.setText(path);
        return;
    }
    const BookInfo info = ReadDocument(file).Info;
    pathEdit.setText(path);
    if (titleEdit.text().trimmed().isEmpty() && !info.Title.isEmpty()) {
        const QString withAuthor = info.Author.isEmpty() ? info.Title : QStringLiteral("%1 (%2)").arg(info.Title, info.Author);
        titleEdit.setText(withAuthor.size() <= titleEdit.maxLength() ? withAuthor : CutAtWord(info.Title, titleEdit.maxLength()));
    }
    if (descriptionEdit.toPlainText().trimmed().isEmpty() && !info.Annotation.isEmpty()) {
        const QStringList lines = BreakDescription(info.Annotation, 50);
        descriptionEdit.setPlainText(lines.mid(0, kMaxDescriptionLines).join(u'\n'));
    }
}

void AddTextWindow::StoreTextEntry() {
    // Everything is checked before anything changes.
    if (AddTextMode && program.TextCount >= kMaxTexts) {
        throw Error(QStringLiteral("В базе уже %1 текстов, больше она не вмещает. "
                                   "Удалите ненужный текст в базе текстов, затем добавьте новый.")
                        .arg(kMaxTexts));
    }
    if (!AddTextMode && EditedTextIndex == 0) {
        throw Error(QStringLiteral("Не выбран текст, который нужно заменить. Откройте это окно из базы текстов: "
                                   "кнопкой «Добавить» для нового текста или «Изменить» для выбранного в списке."));
    }
    if (!AddTextMode && EditedTextIndex > program.TextCount) {
        throw Error(QStringLiteral("Текста номер %1 больше нет в базе. Выберите текст в базе текстов "
                                   "и нажмите «Изменить» ещё раз.")
                        .arg(EditedTextIndex));
    }
    // A character the file cannot hold is refused, never stored as «?».
    RequireCp1251(titleEdit.text(), titleCaption.Caption());
    const QString path = program.StorablePath(pathEdit.text(), 50);
    RequireCp1251(descriptionEdit.toPlainText(), descriptionCaption.Caption());
    const QStringList lines = BreakDescription(descriptionEdit.toPlainText(), 50);
    if (lines.size() > kMaxDescriptionLines) {
        throw Error(QStringLiteral("Описание слишком длинное: это %1 по 50 знаков, а помещается %2. "
                                   "Сократите описание.")
                        .arg(Counted(lines.size(), {u"строка", u"строки", u"строк"}))
                        .arg(kMaxDescriptionLines));
    }

    const int slot = AddTextMode ? program.TextCount + 1 : EditedTextIndex;
    ChangeTextLibrary(program, [&] {
        if (AddTextMode) ++program.TextCount;
        TextRecord& text = program.TextLibrary[slot];
        text.Title.SetText(titleEdit.text());
        text.FilePath.SetText(path);
        text.BookmarkCount = 0;  // a stored entry starts without bookmarks
        text.DescriptionLineCount = static_cast<std::uint16_t>(lines.size());
        for (int k = 1; k <= lines.size(); ++k) text.DescriptionLine(k).SetText(lines[k - 1]);
    });
    EditedTextIndex = static_cast<std::uint16_t>(slot);
    offeredPath_.clear();
    if (program.preferencesWindow->Visible()) program.CurrentTextIndex = EditedTextIndex;
    if (program.textManager->Visible()) program.textManager->RefreshTextList();
    Hide();
}

void AddTextWindow::Cancel() {
    // The text chosen in the open preferences window is then not a library text.
    if (program.preferencesWindow->Visible()) program.CurrentTextIndex = 0;
    Hide();
}

void AddTextWindow::TextDeleted(int slot) {
    if (AddTextMode) return;
    if (FollowDeletion(EditedTextIndex, slot)) numberLabel.SetCaption(QString::number(EditedTextIndex));
}

QString CutAtWord(const QString& text, int width) {
    if (text.size() <= width) return text;
    const qsizetype space = text.lastIndexOf(u' ', width);
    return space > 0 ? text.left(space) : text.left(width);
}

QStringList BreakDescription(const QString& text, int width) {
    QStringList lines;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (QString rest : paragraphs) {
        rest.remove(QLatin1Char('\r'));
        while (rest.size() > width) {
            const qsizetype space = rest.lastIndexOf(QLatin1Char(' '), width);
            if (space > 0) {
                lines.append(rest.left(space));
                rest = rest.mid(space + 1);
            } else {
                lines.append(rest.left(width));
                rest = rest.mid(width);
            }
        }
        lines.append(rest);
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace vistorel
