#include "platform/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace vistorel {

namespace {

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

    QImage& Image() {
        if (image_.size() != size()) {
            QImage resized(size(), QImage::Format_RGB32);
            resized.fill(ToQColor(form_.color_));
            image_ = resized;
        }
        return image_;
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
        QPainter painter(this);
        const QImage& image = Image();
        painter.drawImage(event->rect(), image, event->rect());
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
    void resizeEvent(QResizeEvent*) override { LayoutChildren(); }
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
}

Form::~Form() = default;

void Form::Create() {
    app_.Guard([this] { FormCreate(); });
}

void Form::ApplyDesign(const FormDesign& design) {
    SetCaption(design.Caption);
    border_ = design.Border;
    stayOnTop_ = design.StayOnTop;
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

void Form::SetStayOnTop(bool on) {
    stayOnTop_ = on;
    ApplyFlags();
}

void Form::ApplyFlags() {
    Qt::WindowFlags flags;
    switch (border_) {
        case BorderStyle::Sizeable: flags = Qt::Window; break;
        case BorderStyle::Single:
            flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                    Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
            break;
        case BorderStyle::Dialog:
            flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
            break;
        case BorderStyle::None: flags = Qt::Window | Qt::FramelessWindowHint; break;
        case BorderStyle::SizeToolWin: flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    }
    if (stayOnTop_) flags |= Qt::WindowStaysOnTopHint;
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
    if (!window_->isVisible()) window_->show();
    window_->raise();
    if (!window_->testAttribute(Qt::WA_ShowWithoutActivating)) window_->activateWindow();
}

void Form::SetShowWithoutActivating(bool on) { window_->setAttribute(Qt::WA_ShowWithoutActivating, on); }

void Form::ShowMaximized() {
    if (border_ == BorderStyle::Single) {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    // Without a window manager nothing maximises the window: take the screen's
    // working area ourselves; a window manager keeps it maximised as well.
    if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
        window_->setGeometry(screen->availableGeometry());
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
