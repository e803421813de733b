#include "app/KeyboardReturn.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include <algorithm>

namespace vistorel {

KeyboardReturn::KeyboardReturn(QWidget& mainWindow) : main_(mainWindow) { qApp->installEventFilter(this); }

KeyboardReturn::~KeyboardReturn() { qApp->removeEventFilter(this); }

bool KeyboardReturn::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::WindowActivate && type != QEvent::Hide) || !watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow()) return false;
    if (type == QEvent::WindowActivate) {
        Activated(*window);
    } else {
        Hidden(*window);
    }
    return false;
}

void KeyboardReturn::Activated(QWidget& window) {
    std::erase_if(recent_, [&window](const QPointer<QWidget>& w) { return w.isNull() || w == &window; });
    recent_.insert(recent_.begin(), &window);
}

void KeyboardReturn::Hidden(QWidget& window) {
    // A window that had the keyboard has given it up by the time it is
    // hidden; one hidden while another has it leaves it there. (Windows hide
    // only on the user's doing in the program, so no other program is robbed.)
    if (&window == &main_ || window.windowType() == Qt::Popup) return;
    if (QApplication::activeWindow() != nullptr && QApplication::activeWindow() != &window) return;
    const QWindow* handle = window.windowHandle();
    if (QWindow* opener = handle != nullptr ? handle->transientParent() : nullptr; opener && opener->isVisible()) {
        opener->requestActivate();
        return;
    }
    for (const QPointer<QWidget>& w : recent_) {
        if (!w.isNull() && w != &window && w->isVisible()) {
            w->activateWindow();
            return;
        }
    }
}

}  // namespace vistorel
