#include "library/TextManagerWindow.h"

#include "app/Program.h"
#include "history/ResultsDatabase.h"
#include "library/AddTextWindow.h"
#include "library/LibraryShared.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace vistorel {
namespace {

constexpr const char* kButtonFiles[TextManagerWindow::kButtonCount][2] = {
    {"images\\accept.bmp", "images\\accept1.bmp"},
    {"images\\add.bmp", "images\\add1.bmp"},
    {"images\\edit.bmp", "images\\edit1.bmp"},
    {"images\\delete.bmp", "images\\delete1.bmp"},
};

constexpr int kTitleFrames = 11;

// The local file of a drag, when it carries exactly one.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// Accepts a file dragged over the window and hands it over when dropped.
class FileDropTarget : public QObject {
public:
    FileDropTarget(QWidget* window, Application& app, TextManagerWindow& manager)
        : app_(app), manager_(manager) {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!DraggedFile(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DraggedFile(drop->mimeData());
            if (path.isEmpty()) return true;
            drop->acceptProposedAction();
            app_.Guard([&] { manager_.OpenDroppedFile(path); });
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Application& app_;
    TextManagerWindow& manager_;
};

QString FlowingDescription(const TextRecord& text) {
    // The lines were cut at spaces to fit the record: they flow together
    // again, and the box wraps them to its own width. An empty line is where
    // the user left one, between paragraphs.
    QString shown;
    bool paragraphOpen = false;
    const int count = std::min<int>(text.DescriptionLineCount, kMaxDescriptionLines);
    for (int k = 1; k <= count; ++k) {
        const QString line = text.DescriptionLine(k).Text();
        if (line.trimmed().isEmpty()) {
            if (paragraphOpen) shown += QStringLiteral("\n\n");
            paragraphOpen = false;
            continue;
        }
        if (paragraphOpen) shown += QLatin1Char(' ');
        shown += line;
        paragraphOpen = true;
    }
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(2);
    return shown;
}

// The book's own title and annotation, kept where the record holds them
// shortened or made to fit.
std::optional<BookDetails> DetailsOf(const Program& program, const TextRecord& text) {
    if (!program.Results) return std::nullopt;
    std::optional<BookDetails> details = program.Results->Details(text.FilePath.Text());
    if (details && details->FullTitle == text.Title.Text()) details->FullTitle.clear();
    if (details && details->FullTitle.isEmpty() && details->Annotation.isEmpty()) return std::nullopt;
    return details;
}

// What the description box shows: the book's full title and annotation where
// they differ from the record's, else the record's lines flowing together.
QString ShownDescription(const Program& program, const TextRecord& text) {
    const std::optional<BookDetails> details = DetailsOf(program, text);
    if (!details) return FlowingDescription(text);
    QString shown = details->Annotation.isEmpty()
                        ? FlowingDescription(text)
                        : details->Annotation.split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral("\n\n"));
    if (!details->FullTitle.isEmpty()) shown = QStringLiteral("Полное название: %1\n\n%2").arg(details->FullTitle, shown);
    return shown.trimmed();
}

}  // namespace

TextManagerWindow::TextManagerWindow(Program& program)
    : Form(program.App),
      titleCaption(*this, 16, 40, QStringLiteral("Название текста"), LibraryFont(true)),
      descriptionCaption(*this, 216, 40, QStringLiteral("Краткое описание"), LibraryFont(true)),
      pathCaption(*this, 16, 248, QStringLiteral("Путь к файлу"), LibraryFont()),
      pathLabel(*this, 16, 264, QString(), LibraryFont()),
      titleList(Surface()),
      descriptionView(Surface()),
      titleAnimation(program.App, Canvas, kTitleFrames),
      program(program),
      // The Accept click reaches further right than its hover image.
      buttons_{{
          {&images_[kAccept], {100, 295}, {100, 295, 160, 320}, {100, 295, 170, 320}},
          {&images_[kAdd], {170, 295}, {170, 295, 230, 320}, {170, 295, 230, 320}},
          {&images_[kEdit], {240, 295}, {240, 295, 300, 320}, {240, 295, 300, 320}},
          {&images_[kDelete], {310, 295}, {310, 295, 380, 320}, {310, 295, 380, 320}},
      }} {
    ApplyDesign({QStringLiteral("Text manager"), BorderStyle::None, true, 58, 21, 457, 329, false, clBlack});
    titleList.setGeometry(8, 56, 201, 177);
    titleList.setSelectionMode(QAbstractItemView::SingleSelection);
    StyleLibraryControl(titleList);
    descriptionView.setGeometry(216, 56, 233, 177);
    descriptionView.setReadOnly(true);
    descriptionView.setTabChangesFocus(true);
    StyleLibraryControl(descriptionView);
    QObject::connect(&titleList, &QListWidget::itemSelectionChanged, &titleList,
                     [this] { App().Guard([this] { ShowSelectedText(); }); });
    // A double click on a title chooses it, like the Accept button; so does
    // Enter, anywhere in the window.
    QObject::connect(&titleList, &QListWidget::itemDoubleClicked, &titleList,
                     [this] { App().Guard([this] { ChooseSelectedText(); }); });
    dropTarget_ = std::make_unique<FileDropTarget>(Widget(), program.App, *this);
    SetDialogKeys([this] { ChooseSelectedText(); }, [this] { CloseManager(); });
}

void TextManagerWindow::FormCreate() {
    for (int b = 0; b < kButtonCount; ++b) LoadButtonImages(program, images_[b], kButtonFiles[b][0], kButtonFiles[b][1]);
    program.LoadImageOrReport(close_, QStringLiteral("images\\winclose.bmp"));
    program.LoadImageOrReport(tile_, QStringLiteral("images\\bgr.bmp"));
    // The still title is the first frame; frame n comes from the file numbered n - 1.
    titleAnimation.LoadStill(program, QStringLiteral("images\\editor0000.bmp"));
    titleAnimation.LoadFrames(program, QStringLiteral("images\\editor%1.bmp"), 0);
    titleAnimation.Reset();
    hover_.fill(false);
}

void TextManagerWindow::FormShow() { RefreshTextList(); }

void TextManagerWindow::FormPaint() {
    TileRows(Canvas, tile_, 30, Width(), Height());
    titleAnimation.Start();
    titleAnimation.DrawStill();
    Canvas.Draw(420, 2, close_);
    for (const ImageButton& button : buttons_) button.DrawNormal(Canvas);
    DrawSkinOutlines(Canvas, Width(), Height());
}

void TextManagerWindow::FormMouseMove(int x, int y) {
    for (int b = 0; b < kButtonCount; ++b) buttons_[b].Track(Canvas, x, y, hover_[b]);
}

void TextManagerWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_[kAccept].Clicked(x, y)) ChooseSelectedText();
    if (buttons_[kAdd].Clicked(x, y)) OpenForAdding();
    if (buttons_[kEdit].Clicked(x, y)) OpenForReplacing();
    if (buttons_[kDelete].Clicked(x, y)) DeleteSelectedText();
    if (kCloseRect.Contains(x, y)) CloseManager();
}

void TextManagerWindow::RefreshTextList() {
    titleList.clear();
    for (int slot = 1; slot <= program.TextCount; ++slot) {
        const TextRecord& text = program.TextLibrary[slot];
        const QString title = text.Title.Text();
        titleList.addItem(title);
        // A title wider than the list, or the book's own when the record holds it shortened.
        const std::optional<BookDetails> details = DetailsOf(program, text);
        titleList.item(slot - 1)->setToolTip(details && !details->FullTitle.isEmpty() ? details->FullTitle : title);
    }
    titleList.clearSelection();
    titleList.setCurrentRow(-1);
    // Nothing is selected, so nothing is described.
    pathLabel.SetCaption(QString());
    descriptionView.clear();
}

int TextManagerWindow::SelectedSlot() const {
    const QList<QListWidgetItem*> selected = titleList.selectedItems();
    if (selected.isEmpty()) return 0;
    const int slot = titleList.row(selected.front()) + 1;
    return slot <= program.TextCount ? slot : 0;
}

int TextManagerWindow::RequireSelection(const QString& action) const {
    const int slot = SelectedSlot();
    if (slot == 0) throw RangeError(QStringLiteral("Выберите текст в списке, затем нажмите «%1».").arg(action));
    return slot;
}

void TextManagerWindow::ShowSelectedText() {
    const int slot = SelectedSlot();
    if (slot == 0) return;
    const TextRecord& text = program.TextLibrary[slot];
    pathLabel.SetCaption(text.FilePath.Text());
    descriptionView.setPlainText(ShownDescription(program, text));
}


void TextManagerWindow::ChooseSelectedText() {
    const int slot = RequireSelection(QStringLiteral("Принять"));
    // The path's bytes as stored: it always fits the longer field of the settings.
    program.SettingsRecord.TextPath.CopyFrom(program.TextLibrary[slot].FilePath);
    program.CurrentTextIndex = static_cast<std::uint16_t>(slot);
    Hide();
    titleAnimation.Reset();
}

void TextManagerWindow::OpenForAdding() { program.addTextWindow->OpenForAdding(); }

void TextManagerWindow::OpenDroppedFile(const QString& path) {
    AddTextWindow& adder = *program.addTextWindow;
    adder.OpenForAdding();
    // The entry is a new one: nothing of the last one stays in the fields.
    adder.titleEdit.clear();
    adder.descriptionEdit.clear();
    adder.TakeTextFile(path);
}

void TextManagerWindow::OpenForReplacing() { program.addTextWindow->OpenForReplacing(SelectedSlot()); }

void TextManagerWindow::DeleteSelectedText() {
    const int slot = RequireSelection(QStringLiteral("Удалить"));
    ChangeTextLibrary(program, [&] {
        for (int i = slot; i < program.TextCount; ++i) program.TextLibrary[i] = program.TextLibrary[i + 1];
        --program.TextCount;
        // The current text stays the same text: it moves down with the entries
        // after the deleted one, and is no longer a library text when deleted.
        FollowDeletion(program.CurrentTextIndex, slot);
    });
    program.addTextWindow->TextDeleted(slot);
    RefreshTextList();
}

void TextManagerWindow::CloseManager() {
    titleAnimation.Reset();
    Hide();
}

}  // namespace vistorel
