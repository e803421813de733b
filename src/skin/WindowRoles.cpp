#include "skin/WindowRoles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace vistorel {
namespace {

QAccessible::Role RoleOf(const QWidget& window) {
    const Qt::WindowFlags flags = window.windowFlags();
    const bool tool = (flags & Qt::WindowType_Mask) == Qt::Tool;
    const bool framed = !flags.testFlag(Qt::FramelessWindowHint);
    // A window that keeps the decorations of its kind has a maximise button.
    const bool maximisable = !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowMaximizeButtonHint);
    if (tool || window.isFullScreen() || (framed && maximisable)) return QAccessible::Window;
    return QAccessible::Dialog;
}

// The program's windows are plain widgets, which a screen reader would take
// for a filler; other classes keep Qt's own description.
QAccessibleInterface* WindowInterface(const QString& key, QObject* object) {
    if (key != QLatin1String("QWidget") || object == nullptr || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (!widget->isWindow()) return nullptr;
    return new QAccessibleWidget(widget, RoleOf(*widget));
}

}  // namespace

void InstallWindowRoles() { QAccessible::installFactory(&WindowInterface); }

}  // namespace vistorel
