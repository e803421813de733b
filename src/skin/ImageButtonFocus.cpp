#include "skin/ImageButtonFocus.h"

#include "platform/Colour.h"
#include "platform/Form.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

namespace vistorel {
namespace {

constexpr int kMargin = ImageButtonFocus::kRingGap + ImageButtonFocus::kRingWidth;

bool IsActivationKey(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    switch (event.key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Select: return true;
        default: return false;
    }
}

// A window shows where the keyboard is once the keyboard is used in it (a
// key pressed on one of its buttons, or Tab bringing one the focus): a user
// of the mouse sees the pictures as they are drawn, without rings.
const char* const kKeyboardCues = "vistorel-keyboard-cues";

bool KeyboardCuesShown(const QWidget& widget) { return widget.window()->property(kKeyboardCues).toBool(); }

void ShowKeyboardCues(QWidget& widget) {
    if (KeyboardCuesShown(widget)) return;
    widget.window()->setProperty(kKeyboardCues, true);
    widget.update();
}

}  // namespace

ImageButtonFocus::ImageButtonFocus(Form& window, const QString& name, std::function<void()> action)
    : QAbstractButton(window.Surface()), app_(window.App()), action_(std::move(action)) {
    setText(name);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // A screen reader's press comes as a click.
    QObject::connect(this, &QAbstractButton::clicked, this, [this] { Activate(); });
    show();
}

void ImageButtonFocus::Place(const ImageButton& button) { Place(button.At, button.Images->Normal, button.Click); }

void ImageButtonFocus::Place(QPoint at, const Bitmap& picture, const HitRect& rect) {
    const QRect shown = picture.Width() > 0 && picture.Height() > 0
                            ? QRect(at, QSize(picture.Width(), picture.Height()))
                            : QRect(QPoint(rect.Left + 1, rect.Top + 1), QPoint(rect.Right - 1, rect.Bottom - 1));
    // At the window's edge the ring comes inside the picture.
    setGeometry(shown.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersected(parentWidget()->rect()));
}

void ImageButtonFocus::Activate() { app_.Guard(action_); }

void ImageButtonFocus::paintEvent(QPaintEvent*) {
    if (!hasFocus() || !KeyboardCuesShown(*this)) return;
    QPainter painter(this);
    const qreal half = kRingWidth / 2.0;
    painter.setPen(QPen(QColor::fromRgb(kRingColour), kRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

void ImageButtonFocus::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) {
        ShowKeyboardCues(*this);
    }
    QAbstractButton::focusInEvent(event);
}

void ImageButtonFocus::keyPressEvent(QKeyEvent* event) {
    ShowKeyboardCues(*this);
    if (!IsActivationKey(*event)) {
        event->ignore();  // the window's own keys
        return;
    }
    if (!event->isAutoRepeat() || repeating_) Activate();
}

void ImageButtonFocus::keyReleaseEvent(QKeyEvent* event) {
    if (!IsActivationKey(*event)) event->ignore();
}

}  // namespace vistorel
