#include "library/AddTextWindow.h"

#include "app/Program.h"
#include "books/Document.h"
#include "dialogs/PreferencesWindow.h"
#include "history/ResultsDatabase.h"
#include "library/LibraryCopy.h"
#include "library/LibraryShared.h"
#include "library/TextManagerWindow.h"
#include "platform/FileAccess.h"
#include "platform/Plural.h"
#include "platform/TextCodec.h"
#include "skin/Glyphs.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <optional>

namespace vistorel {
namespace {

constexpr int kAddTitleFrames = 11;
// The record's capacity for a title, a path and a description line.
constexpr int kRecordField = 50;

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
      copyBox(QStringLiteral("Копировать в библиотеку"), Surface()),
      copyNotice(Surface()),
      titleAnimation(program.App, Canvas, kAddTitleFrames),
      bookLoad(*this),
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
    copyBox.setGeometry(22, 150, 240, 17);
    StyleLibraryControl(copyBox);
    // What storing will do with the file, said before it is done.
    copyNotice.setGeometry(24, 276, 380, 30);
    copyNotice.setWordWrap(true);
    copyNotice.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StyleLibraryControl(copyNotice);
    // The box belongs to the path: Tab reaches it before the description.
    QWidget::setTabOrder(&chooseFileButton, &copyBox);
    QWidget::setTabOrder(&copyBox, &descriptionEdit);
    QObject::connect(&chooseFileButton, &QToolButton::clicked, &chooseFileButton,
                     [this] { App().Guard([this] { ChooseTextFile(); }); });
    QObject::connect(&pathEdit, &QLineEdit::textChanged, &pathEdit, [this] { App().Guard([this] { PathChanged(); }); });
    QObject::connect(&copyBox, &QCheckBox::toggled, &copyBox, [this] { App().Guard([this] { UpdateCopyNotice(); }); });
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
    PathChanged();
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
    if (bookLoad.Running()) return;
    const QString file = program.ResolvePath(path);
    const FileRead start = TryReadRegularFile(file, kFormatSniffBytes, OverLimit::Cut);
    if (start.Outcome != FileRead::Status::Read || ContainerOf(start.Bytes) == Container::Text) {
        pathEdit.setText(path);
        PathChanged();
        return;
    }
    struct Read {
        BookInfo Info;
        QString Notice;
    };
    const auto read = std::make_shared<Read>();
    bookLoad.Start(
        QStringLiteral("Чтение книги «%1»…").arg(QFileInfo(file).fileName()),
        [file, read](const std::atomic<bool>& cancelled) {
            const ReadLimits limits = ReadLimits::StoppedBy(cancelled);
            Document document = ReadDocument(file, limits);
            read->Info = std::move(document.Info);
            read->Notice = std::move(document.Notice);
        },
        [this, path, read](std::exception_ptr error) {
            if (BackgroundWork::EndedByCancel(error)) return;  // the fields stay as they were
            program.ReportNotice(read->Notice);
            TakeBook(path, read->Info);
        });
}

void AddTextWindow::TakeBook(const QString& path, const BookInfo& info) {
    pathEdit.setText(path);
    PathChanged();
    filled_ = Filled{path, {}, {}, {}, {}};
    if (titleEdit.text().trimmed().isEmpty() && !info.Title.isEmpty()) {
        // What the book has that the record cannot hold is made to fit: the
        // user's own typing is still refused by name.
        const QString withAuthor = info.Author.isEmpty() ? info.Title : QStringLiteral("%1 (%2)").arg(info.Title, info.Author);
        const QString fitted = FittedToCp1251(withAuthor);
        filled_.Title = fitted.size() <= titleEdit.maxLength() ? fitted
                                                               : CutAtWord(FittedToCp1251(info.Title), titleEdit.maxLength());
        filled_.FullTitle = withAuthor;
        titleEdit.setText(filled_.Title);
    }
    if (descriptionEdit.toPlainText().trimmed().isEmpty() && !info.Annotation.isEmpty()) {
        filled_.Description = AnnotationAsDescription(FittedToCp1251(info.Annotation), kRecordField, kMaxDescriptionLines);
        filled_.Annotation = info.Annotation;
        descriptionEdit.setPlainText(filled_.Description);
    }
}

bool AddTextWindow::PathFits() const {
    try {
        program.StorablePath(pathEdit.text(), kRecordField);
        return true;
    } catch (const Error&) {
        return false;
    }
}

void AddTextWindow::PathChanged() {
    const QSignalBlocker quiet(copyBox);
    copyBox.setChecked(!PathFits());
    UpdateCopyNotice();
}

void AddTextWindow::UpdateCopyNotice() {
    // Two lines under the description: why and where, the place on a line of its own.
    const QString path = pathEdit.text().trimmed();
    QString notice;
    if (!path.isEmpty()) {
        const bool fits = PathFits();
        const QString outside = FirstOutsideCp1251(path);
        const QString why = outside.isEmpty() ? QStringLiteral("Путь длиннее %1 знаков").arg(kRecordField)
                                              : QStringLiteral("В пути знак «%1»").arg(outside);
        if (copyBox.isChecked()) {
            const LibraryCopy copy = PlanLibraryCopy(program.StartDirectory, program.ResolvePath(path), kRecordField);
            notice = (fits ? QStringLiteral("Файл скопируется в библиотеку:")
                           : QStringLiteral("%1 — файл скопируется в библиотеку:").arg(why)) +
                     u'\n' + copy.StoredPath;
        } else if (!fits) {
            notice = QStringLiteral("%1 — такой текст сохраняется только копией в библиотеке.").arg(why);
        }
    }
    copyNotice.setText(notice);
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
    std::optional<LibraryCopy> copy;
    QString path;
    if (copyBox.isChecked()) {
        if (pathEdit.text().trimmed().isEmpty()) {
            throw Error(QStringLiteral("Не выбран файл, который нужно скопировать в библиотеку. Выберите файл "
                                       "или снимите отметку «Копировать в библиотеку»."));
        }
        copy = PlanLibraryCopy(program.StartDirectory, program.ResolvePath(pathEdit.text().trimmed()), kRecordField);
        path = copy->StoredPath;
    } else {
        try {
            path = program.StorablePath(pathEdit.text(), kRecordField);
        } catch (const Error& e) {
            throw Error(e.Message() + QStringLiteral(" Или отметьте «Копировать в библиотеку»: программа "
                                                     "скопирует файл в свою папку «%1» под коротким именем.")
                                          .arg(LibraryFolderName()));
        }
    }
    RequireCp1251(descriptionEdit.toPlainText(), descriptionCaption.Caption());
    const QStringList lines = BreakDescription(descriptionEdit.toPlainText(), kRecordField);
    if (lines.size() > kMaxDescriptionLines) {
        throw Error(QStringLiteral("Описание слишком длинное: это %1 по 50 знаков, а помещается %2. "
                                   "Сократите описание.")
                        .arg(Counted(lines.size(), {u"строка", u"строки", u"строк"}))
                        .arg(kMaxDescriptionLines));
    }

    // The copy first: when it fails, nothing has changed; when the library
    // cannot be saved after it, the copy is taken back.
    if (copy) {
        try {
            MakeLibraryCopy(*copy, program.SaveFault);
        } catch (const Error& e) {
            throw Error(QStringLiteral("Текст не добавлен: файл не удалось скопировать в библиотеку. %1").arg(e.Message()));
        }
    }
    const int slot = AddTextMode ? program.TextCount + 1 : EditedTextIndex;
    try {
        ChangeTextLibrary(program, [&] {
            if (AddTextMode) ++program.TextCount;
            TextRecord& text = program.TextLibrary[slot];
            text.Title.SetText(titleEdit.text());
            text.FilePath.SetText(path);
            text.BookmarkCount = 0;  // a stored entry starts without bookmarks
            text.DescriptionLineCount = static_cast<std::uint16_t>(lines.size());
            for (int k = 1; k <= lines.size(); ++k) text.DescriptionLine(k).SetText(lines[k - 1]);
        });
    } catch (...) {
        if (copy) RemoveLibraryCopy(*copy);
        throw;
    }
    SaveBookDetails(path);
    EditedTextIndex = static_cast<std::uint16_t>(slot);
    offeredPath_.clear();
    if (program.preferencesWindow->Visible()) program.CurrentTextIndex = EditedTextIndex;
    if (program.textManager->Visible()) program.textManager->RefreshTextList();
    Hide();
}

void AddTextWindow::SaveBookDetails(const QString& storedPath) const {
    if (!program.Results) return;
    BookDetails details;
    if (filled_.Path == pathEdit.text()) {
        // Only what the program filled in and the user kept: the user's own
        // title or description is the entry's.
        if (!filled_.Title.isEmpty() && titleEdit.text() == filled_.Title && filled_.FullTitle != filled_.Title) {
            details.FullTitle = filled_.FullTitle;
        }
        const QString whole = filled_.Annotation.split(u'\n').join(QStringLiteral("\n\n"));
        if (!filled_.Description.isEmpty() && descriptionEdit.toPlainText() == filled_.Description &&
            whole != filled_.Description) {
            details.Annotation = filled_.Annotation;
        }
    }
    if (details.FullTitle.isEmpty() && details.Annotation.isEmpty()) {
        // An entry stored again without them loses what an earlier one had.
        if (program.Results->Details(storedPath)) program.Results->SaveBookDetails(storedPath, {});
        return;
    }
    program.Results->SaveBookDetails(storedPath, details);
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

QString AnnotationAsDescription(const QString& annotation, int width, int maxLines) {
    QString text;
    const auto fits = [&](const QString& candidate) { return BreakDescription(candidate, width).size() <= maxLines; };
    const QStringList paragraphs = annotation.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& paragraph : paragraphs) {
        const QString before = text.isEmpty() ? QString() : text + QStringLiteral("\n\n");
        if (fits(before + paragraph.trimmed())) {
            text = before + paragraph.trimmed();
            continue;
        }
        // The most words of the paragraph that still fit, with "…" after them.
        const QStringList words = paragraph.split(u' ', Qt::SkipEmptyParts);
        qsizetype low = 0;
        qsizetype high = words.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (fits(before + words.mid(0, middle).join(u' ') + u'\u2026')) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        if (low > 0) text = before + words.mid(0, low).join(u' ') + u'\u2026';
        break;
    }
    return text;
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
