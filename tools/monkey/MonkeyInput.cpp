// The monkey's hands: which window and control an event goes to, where the
// pointer is, and the mouse, wheel and key events of one gesture.

#include "Monkey.h"

#include "Watchdog.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "library/AddTextWindow.h"
#include "library/TextManagerWindow.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <vector>

namespace vistorel::monkey {
namespace {

struct Key {
    int Code;
    const char* Text;
};

// Keys without text, or with a control character for text.
constexpr Key kSpecialKeys[] = {
    {Qt::Key_Return, "\r"}, {Qt::Key_Enter, "\r"},   {Qt::Key_Escape, "\x1b"}, {Qt::Key_Backspace, "\b"},
    {Qt::Key_Tab, "\t"},    {Qt::Key_Backtab, ""},   {Qt::Key_Delete, "\x7f"}, {Qt::Key_Space, " "},
    {Qt::Key_Left, ""},     {Qt::Key_Right, ""},     {Qt::Key_Up, ""},         {Qt::Key_Down, ""},
    {Qt::Key_Home, ""},     {Qt::Key_End, ""},       {Qt::Key_PageUp, ""},     {Qt::Key_PageDown, ""},
    {Qt::Key_F1, ""},       {Qt::Key_F4, ""},        {Qt::Key_F10, ""},        {Qt::Key_Insert, ""},
};

}  // namespace

QWidget* Monkey::ChooseTopLevel() {
    std::vector<QWidget*> shown;
    const auto windows = Windows();
    for (int w = 0; w < kWindowCount; ++w) {
        Form* form = windows[static_cast<std::size_t>(w)];
        if (form->Visible() && !Skipped(w)) shown.push_back(form->Widget());
    }
    // Menus popped up from the menu bar, and whatever else is on screen.
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops) {
        if (top->isVisible() && WindowOf(top) == kOtherWindows) shown.push_back(top);
    }
    if (shown.empty()) return nullptr;
    return shown[static_cast<std::size_t>(Uniform(0, static_cast<int>(shown.size()) - 1))];
}

// The drawing surface most often (the image buttons are drawn on it), else
// any visible control of the window.
QWidget* Monkey::ChooseWidget(QWidget* top) {
    const int window = WindowOf(top);
    if (window != kOtherWindows && Chance(55)) return Windows()[static_cast<std::size_t>(window)]->Surface();
    std::vector<QWidget*> controls;
    const QList<QWidget*> children = top->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (!child->isVisible()) continue;
        controls.push_back(child);
        // Controls the user works with count three times over the labels
        // and frames around them.
        if (child->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(child) != nullptr ||
            qobject_cast<QMenuBar*>(child) != nullptr || child->objectName() == QLatin1String("qt_scrollarea_viewport")) {
            controls.insert(controls.end(), 2, child);
        }
    }
    if (controls.empty()) return top;
    return controls[static_cast<std::size_t>(Uniform(0, static_cast<int>(controls.size()) - 1))];
}

// A point on one of the window's image buttons or close symbols, when the
// window makes their places known.
bool Monkey::HotSpot(QWidget* widget, QPoint& point) {
    Program& p = *program_;
    std::vector<HitRect> spots;
    if (widget == p.mainWindow->Surface()) {
        // Exit less often than the others: the longer a program runs, the
        // deeper into its windows the monkey gets.
        for (int b = 0; b < kMainButtonCount; ++b) {
            if (b != kExit || Chance(25)) spots.push_back(p.mainWindow->ButtonRect(static_cast<MainButton>(b)));
        }
    } else if (widget == p.welcomeWindow->Surface()) {
        spots.push_back(WelcomeWindow::kButton);
    } else if (widget == p.aboutWindow->Surface()) {
        spots.push_back(p.aboutWindow->CloseButton().Click);
    } else if (widget == p.textManager->Surface()) {
        spots.push_back(TextManagerWindow::kCloseRect);
    } else if (widget == p.addTextWindow->Surface()) {
        spots.push_back(AddTextWindow::kCloseRect);
    } else if (widget == p.readingSpeedTest->Surface()) {
        for (TestButton b : {kTestStart, kTestStop}) spots.push_back(p.readingSpeedTest->Buttons().Button(b).Click);
    } else if (widget == p.ipsTest->Surface()) {
        for (TestButton b : {kTestStart, kTestStop}) spots.push_back(p.ipsTest->Buttons().Button(b).Click);
    } else if (widget == p.memoryTest->Surface()) {
        for (TestButton b : {kTestStart, kTestStop}) spots.push_back(p.memoryTest->Buttons().Button(b).Click);
    }
    if (spots.empty()) return false;
    const HitRect r = spots[static_cast<std::size_t>(Uniform(0, static_cast<int>(spots.size()) - 1))];
    if (r.Right - r.Left < 3 || r.Bottom - r.Top < 3) return false;
    point = {Uniform(r.Left + 1, r.Right - 1), Uniform(r.Top + 1, r.Bottom - 1)};
    return true;
}

// Anywhere on the widget, a little beyond its edges now and then, or on a hot spot.
QPoint Monkey::ChoosePoint(QWidget* widget) {
    QPoint point;
    if (Chance(40) && HotSpot(widget, point)) return point;
    const int margin = Chance(5) ? 20 : 0;
    return {Uniform(-margin, std::max(0, widget->width() - 1) + margin),
            Uniform(-margin, std::max(0, widget->height() - 1) + margin)};
}

Qt::MouseButton Monkey::ChooseButton() {
    const int roll = Uniform(0, 99);
    if (roll < 80) return Qt::LeftButton;
    return roll < 95 ? Qt::RightButton : Qt::MiddleButton;
}

Qt::KeyboardModifiers Monkey::ChooseModifiers() {
    if (!Chance(10)) return Qt::NoModifier;
    static constexpr Qt::KeyboardModifier kModifiers[] = {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
    return kModifiers[Uniform(0, 2)];
}

bool Monkey::Send(QWidget* widget, QEvent& event) {
    QPointer<QWidget> alive(widget);
    if (!widget->isVisible()) return false;
    ++qtEvents_;
    // A control may wait in a loop of its own for the user: a menu to pick
    // from (a tool button's menu, the menu bar's overflow arrow), or the drop
    // of text dragged out of an edit field. After a while the monkey closes
    // the menu or calls the drag off, as a user clicking beside it would.
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, &escape, [this] { EndWaitingLoops(); });
    escape.start(100);
    QCoreApplication::sendEvent(widget, &event);
    escape.stop();
    watchdog_.Beat(event_, action_);
    QCoreApplication::processEvents();
    return !alive.isNull() && alive->isVisible() && !app_->Terminated();
}

void Monkey::EndWaitingLoops() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    ++loopsEnded_;
    QDrag::cancel();
    watchdog_.Beat(event_, action_);
}

bool Monkey::Mouse(QWidget* widget, int type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(static_cast<QEvent::Type>(type), QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      ChooseModifiers());
    return Send(widget, event);
}

void Monkey::MouseAction(QWidget* widget) {
    const int kind = Uniform(0, 99);
    QPoint at = ChoosePoint(widget);
    // The pointer comes to the place first, as a real one does.
    if (!Mouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton)) return;
    if (kind < 25) {
        action_ = "pointer moves";
        for (int k = Uniform(1, 8); k > 0; --k) {
            at = ChoosePoint(widget);
            if (!Mouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton)) return;
        }
        return;
    }
    const Qt::MouseButton button = ChooseButton();
    if (kind < 70) {
        action_ = "click";
        if (Mouse(widget, QEvent::MouseButtonPress, at, button, button)) {
            Mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
        }
    } else if (kind < 80) {
        action_ = "double click";
        if (!Mouse(widget, QEvent::MouseButtonPress, at, button, button)) return;
        if (!Mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton)) return;
        if (!Mouse(widget, QEvent::MouseButtonDblClick, at, button, button)) return;
        Mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    } else if (kind < 95) {
        action_ = "drag";
        if (!Mouse(widget, QEvent::MouseButtonPress, at, button, button)) return;
        const QPoint to = ChoosePoint(widget);
        const int steps = Uniform(2, 10);
        for (int k = 1; k <= steps; ++k) {
            const QPoint step = at + (to - at) * k / steps;
            if (!Mouse(widget, QEvent::MouseMove, step, Qt::NoButton, button)) return;
        }
        Mouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    } else {
        // A held button: the loop runs the program's timers meanwhile.
        action_ = "held button";
        if (!Mouse(widget, QEvent::MouseButtonPress, at, button, button)) return;
        // Send() ends early for a widget gone; the idle loop sends nothing.
        QPointer<QWidget> target(widget);
        Idle(Uniform(20, 150));
        if (target.isNull() || app_->Terminated()) return;
        Mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
}

void Monkey::WheelAction(QWidget* widget) {
    action_ = "wheel";
    const QPoint at = ChoosePoint(widget);
    const QPoint turn(0, Chance(50) ? 120 : -120);
    QWheelEvent event(QPointF(at), QPointF(widget->mapToGlobal(at)), QPoint(), turn, Qt::NoButton, ChooseModifiers(),
                      Qt::NoScrollPhase, false);
    Send(widget, event);
}

// A key to the control that has the focus in the window (or the window):
// letters Latin and Cyrillic, digits, signs, editing and movement keys, and
// the editing shortcuts.
void Monkey::KeyAction(QWidget* top) {
    action_ = "key";
    QWidget* focus = QApplication::focusWidget();
    QWidget* widget = (focus != nullptr && focus->window() == top && focus->isVisible()) ? focus : top;
    if (Chance(20)) widget = ChooseWidget(top);
    int code = 0;
    QString text;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    const int kind = Uniform(0, 99);
    if (kind < 35) {
        const char c = static_cast<char>(Uniform(0x20, 0x7E));
        text = QString(QLatin1Char(c));
        code = QChar(QLatin1Char(c)).toUpper().unicode();
    } else if (kind < 55) {
        const QChar c(static_cast<char16_t>(Uniform(0x0410, 0x044F)));
        text = QString(c);
        code = c.toUpper().unicode();
    } else if (kind < 90) {
        const Key& key = kSpecialKeys[Uniform(0, static_cast<int>(std::size(kSpecialKeys)) - 1)];
        code = key.Code;
        text = QString::fromLatin1(key.Text);
    } else {
        static constexpr char kShortcuts[] = "ACVXZY";
        code = kShortcuts[Uniform(0, 5)];
        modifiers = Qt::ControlModifier;
        if (Chance(30)) modifiers |= Qt::ShiftModifier;
    }
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    if (!Send(widget, press)) return;
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    Send(widget, release);
}

}  // namespace vistorel::monkey
