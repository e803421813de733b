#include "platform/Form.h"

#include "platform/ScreenFit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <vector>

namespace vistorel {

namespace {

// How long after a show the window manager may still frame and place the
// window, and so move it off the screen again.
constexpr qint64 kSettlingMs = 3000;

// The screen under the middle of the rectangle, else the window's own.
QScreen* ScreenOf(const QWidget& window, const QRect& frame) {
    if (QScreen* under = QGuiApplication::screenAt(frame.center())) return under;
    if (QScreen* own = window.screen()) return own;
    return QGuiApplication::primaryScreen();
}

MouseButton ToMouseButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton: return MouseButton::Right;
        case Qt::MiddleButton: return MouseButton::Middle;
        default: return MouseButton::Left;
    }
}

}  // namespace

// The client area: keeps the persistent image and shows it.
class FormSurface : public QWidget {
public:
    FormSurface(Form& form, QWidget* parent) : QWidget(parent), form_(form) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
    }

    // The client area in device pixels, at the ratio of the screen it is on.
    QImage& Image() {
        if (Stale()) {
            const qreal ratio = devicePixelRatioF();
            QImage resized(size() * ratio, QImage::Format_RGB32);
            resized.setDevicePixelRatio(ratio);
            resized.fill(ToQColor(form_.color_));
            image_ = resized;
        }
        return image_;
    }
    // The image no longer fits the window's size or its screen's ratio.
    bool Stale() const {
        const qreal ratio = devicePixelRatioF();
        return image_.size() != size() * ratio || image_.devicePixelRatio() != ratio;
    }

    void Changed(const QRect& area) {
        // A few separate areas are updated one by one; many (a figure of
        // single pixels) are updated as the rectangle that holds them all.
        if (dirty_.size() < kSeparateAreas) dirty_.push_back(area);
        dirtyBounds_ |= area;
        if (updatePending_) return;
        updatePending_ = true;
        // One update per pass of the event loop, however many drawings came.
        QTimer::singleShot(0, this, [this] {
            updatePending_ = false;
            if (dirty_.size() < kSeparateAreas) {
                QRegion region;
                for (const QRect& area : dirty_) region += area;
                update(region);
            } else {
                update(dirtyBounds_);
            }
            dirty_.clear();
            dirtyBounds_ = QRect();
        });
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        // Moved to a screen of another scale: drawn afresh at its ratio.
        if (Stale() && form_.shown_) form_.Repaint();
        QPainter painter(this);
        const QImage& image = Image();
        painter.drawImage(event->rect(), image, DeviceRect(event->rect(), image.devicePixelRatio()));
    }
    void resizeEvent(QResizeEvent*) override { form_.SurfaceResized(); }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        form_.app_.Guard([&] { form_.FormMouseDown(ToMouseButton(event->button()), p.x(), p.y()); });
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        form_.app_.Guard([&] { form_.FormMouseMove(p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        form_.app_.Guard([&] { form_.FormMouseUp(ToMouseButton(event->button()), p.x(), p.y()); });
    }

private:
    Form& form_;
    static constexpr std::size_t kSeparateAreas = 32;
    QImage image_;
    std::vector<QRect> dirty_;
    QRect dirtyBounds_;
    bool updatePending_ = false;
};

// The top-level window: frame, optional menu bar, and the surface below it.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form) : QWidget(nullptr), form_(form) { setFocusPolicy(Qt::StrongFocus); }

    int MenuHeight() const { return form_.menu_ ? form_.menu_->sizeHint().height() : 0; }

    void LayoutChildren() {
        const int menu = MenuHeight();
        if (form_.menu_) form_.menu_->setGeometry(0, 0, width(), menu);
        form_.surface_->setGeometry(0, menu, width(), std::max(0, height() - menu));
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        LayoutChildren();
        if (event->spontaneous()) form_.FrameChanged();
    }
    void moveEvent(QMoveEvent* event) override {
        if (event->spontaneous()) form_.FrameChanged();
    }
    void showEvent(QShowEvent* event) override { form_.WindowShown(event->spontaneous()); }
    void hideEvent(QHideEvent* event) override {
        if (!event->spontaneous()) form_.shown_ = false;
    }
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        form_.WindowClosing();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (form_.KeyDown(event->key(), event->modifiers())) return;
        const QString text = event->text();
        if (text.isEmpty()) {
            event->ignore();
            return;
        }
        form_.app_.Guard([&] { form_.FormKeyPress(text.at(0)); });
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            form_.KeepFixedSize();
            auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) {
                form_.Repaint();
            }
        }
        QWidget::changeEvent(event);
    }

private:
    Form& form_;
};

Form::Form(Application& app)
    : Canvas(*this), app_(app), window_(std::make_unique<FormWindow>(*this)) {
    surface_ = new FormSurface(*this, window_.get());
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    SetColor(color_);
    ApplyFlags();
    app_.AddForm(*this);
}

Form::~Form() { app_.RemoveForm(*this); }

void Form::Create() {
    app_.Guard([this] { FormCreate(); });
}

void Form::ApplyDesign(const FormDesign& design) {
    SetCaption(design.Caption);
    border_ = design.Border;
    ApplyFlags();
    SetColor(design.Color);
    if (design.OuterSize) {
        SetOuterSize(design.Width, design.Height);
    } else {
        SetClientSize(design.Width, design.Height);
    }
    SetPosition(design.Left, design.Top);
}

void Form::SetCaption(const QString& caption) { window_->setWindowTitle(caption); }
QString Form::Caption() const { return window_->windowTitle(); }

void Form::SetBorderStyle(BorderStyle style) {
    border_ = style;
    ApplyFlags();
}

void Form::SetMainForm(bool main) {
    mainForm_ = main;
    if (main) SetStandalone(true);
}

void Form::SetStandalone(bool on) {
    standalone_ = on;
    ApplyFlags();
}

void Form::ApplyFlags() {
    // A window that belongs to another is a dialog (or a tool window) for
    // the desktop: on X only those carry the transient hint.
    const Qt::WindowFlags kind = standalone_ ? Qt::Window : Qt::Dialog;
    const Qt::WindowFlags caption = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    const Qt::WindowFlags sizeable = caption | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    Qt::WindowFlags flags;
    switch (border_) {
        case BorderStyle::Sizeable: flags = standalone_ ? Qt::Window : kind | sizeable; break;
        case BorderStyle::Single: flags = kind | sizeable; break;
        case BorderStyle::Dialog: flags = kind | caption; break;
        case BorderStyle::None: flags = kind | Qt::FramelessWindowHint; break;
        case BorderStyle::SizeToolWin: flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    }
    const bool visible = window_->isVisible();
    window_->setWindowFlags(flags);
    if (visible) window_->show();
}

void Form::SetCursor(CursorShape shape) {
    switch (shape) {
        case CursorShape::Default: surface_->unsetCursor(); break;
        case CursorShape::HourGlass: surface_->setCursor(Qt::WaitCursor); break;
        case CursorShape::HandPoint: surface_->setCursor(Qt::PointingHandCursor); break;
    }
}

void Form::SetPosition(int left, int top) { window_->move(left, top); }

void Form::SetClientSize(int width, int height) {
    const int menu = window_->MenuHeight();
    fixedSize_ = QSize(width, height + menu);
    if (border_ == BorderStyle::Dialog || (border_ == BorderStyle::Single && !window_->isMaximized())) {
        window_->setFixedSize(fixedSize_);
    } else {
        window_->resize(fixedSize_);
    }
    window_->LayoutChildren();
}

void Form::KeepFixedSize() {
    // A fixed single border may still be maximised; restored, it takes its
    // own size again and cannot be dragged to another.
    if (border_ != BorderStyle::Single) return;
    if (window_->isMaximized()) {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (!window_->isMinimized() && fixedSize_.isValid()) {
        window_->setFixedSize(fixedSize_);
    }
}

void Form::SetOuterSize(int width, int height) {
    const QSize frame = window_->frameGeometry().size() - window_->geometry().size();
    const int menu = window_->MenuHeight();
    SetClientSize(width - frame.width(), height - frame.height() - menu);
}

int Form::Left() const { return window_->frameGeometry().left(); }
int Form::Top() const { return window_->frameGeometry().top(); }
int Form::Width() const { return window_->frameGeometry().width(); }
int Form::Height() const { return window_->frameGeometry().height(); }
int Form::ClientWidth() const { return surface_->width(); }
int Form::ClientHeight() const { return surface_->height(); }

void Form::SetColor(TColor color) {
    color_ = color;
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    window_->setPalette(palette);
}

void Form::SetMenuBar(QMenuBar* menu) {
    menu_ = menu;
    menu_->setParent(window_.get());
    window_->LayoutChildren();
}

void Form::SetDialogKeys(std::function<void()> accept, std::function<void()> cancel) {
    acceptKey_ = std::move(accept);
    cancelKey_ = std::move(cancel);
}

bool Form::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const std::function<void()>* dialogKey = nullptr;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && acceptKey_) dialogKey = &acceptKey_;
    if (key == Qt::Key_Escape && cancelKey_) dialogKey = &cancelKey_;
    if (dialogKey != nullptr) {
        // A handler that throws has used its key all the same.
        app_.Guard(*dialogKey);
        return true;
    }
    bool used = false;
    app_.Guard([&] { used = FormKeyDown(key, modifiers); });
    return used;
}

void Form::Show() {
    if (!window_->isVisible()) {
        BeforeShowing();
        window_->show();
    }
    window_->raise();
    if (!window_->testAttribute(Qt::WA_ShowWithoutActivating)) window_->activateWindow();
}

void Form::BeforeShowing() {
    AttachToCaller();
    if (!placed_) {
        placed_ = true;
        const QPoint first = FirstPosition(opener_);
        if (first != QPoint(Left(), Top())) SetPosition(first.x(), first.y());
    }
    FitOnScreen();
    settling_.start();
}

void Form::AttachToCaller() {
    if (standalone_) return;
    Form* caller = app_.CallingForm();
    // Never above a window that is kept above this one.
    for (Form* above = caller; above != nullptr; above = above->opener_) {
        if (above == this) return;
    }
    if (caller == nullptr) return;
    window_->winId();  // the native window, which the hint belongs to
    QWindow* own = window_->windowHandle();
    QWindow* parent = caller->window_->windowHandle();
    if (own == nullptr || parent == nullptr) return;
    opener_ = caller;
    own->setTransientParent(parent);
}

QPoint Form::FirstPosition(const Form*) const { return {Left(), Top()}; }

QRect Form::ScreenAnchor() const { return window_->frameGeometry(); }

void Form::FitOnScreen() {
    if (window_->isMaximized() || window_->isFullScreen() || window_->isMinimized()) return;
    const QRect frame = window_->frameGeometry();
    const QScreen* screen = ScreenOf(*window_, frame);
    if (screen == nullptr) return;
    const bool resizable = border_ == BorderStyle::Sizeable || border_ == BorderStyle::SizeToolWin;
    const QRect fitted =
        FitOnArea(frame, WholeDevicePixels(screen->availableGeometry(), screen->devicePixelRatio()), resizable);
    if (fitted.size() != frame.size()) window_->resize(window_->size() - (frame.size() - fitted.size()));
    if (fitted.topLeft() != frame.topLeft()) window_->move(fitted.topLeft());
}

void Form::FrameChanged() {
    if (settling_.isValid() && settling_.elapsed() < kSettlingMs) FitOnScreen();
}

void Form::SetShowWithoutActivating(bool on) { window_->setAttribute(Qt::WA_ShowWithoutActivating, on); }

void Form::ShowMaximized() {
    if (border_ == BorderStyle::Single) {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (!window_->isVisible()) AttachToCaller();
    // Without a window manager nothing maximises the window: take the screen's
    // working area ourselves; a window manager keeps it maximised as well.
    if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
        window_->setGeometry(WholeDevicePixels(screen->availableGeometry(), screen->devicePixelRatio()));
    }
    window_->showMaximized();
    window_->raise();
    window_->activateWindow();
}

void Form::Hide() { window_->hide(); }

void Form::Close() {
    if (closing_) return;
    closing_ = true;
    window_->close();
    closing_ = false;
}

bool Form::Visible() const { return window_->isVisible(); }
bool Form::Maximized() const { return window_->isMaximized(); }

void Form::Repaint() {
    surface_->Image().fill(ToQColor(color_));
    surface_->update();
    app_.Guard([this] { FormPaint(); });
}

QWidget* Form::Widget() const { return window_.get(); }
QWidget* Form::Surface() const { return surface_; }

QImage& Form::SurfaceImage() { return surface_->Image(); }
void Form::SurfaceChanged(const QRect& area) { surface_->Changed(area); }

void Form::WindowShown(bool spontaneous) {
    if (!spontaneous) app_.Guard([this] { FormShow(); });
    shown_ = true;
    Repaint();
}

void Form::WindowClosing() {
    app_.Guard([this] { FormClose(); });
    if (mainForm_) app_.Terminate();
}

void Form::SurfaceResized() {
    // The first paint comes with the show itself; later resizes repaint.
    if (shown_) Repaint();
}

}  // namespace vistorel
