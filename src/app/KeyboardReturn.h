#pragma once
// When a window of the program that has the keyboard closes, the keyboard
// goes back to the window it was opened from (its transient parent), or else
// to the program's window that had it last, as a window manager gives it
// back. Without a window manager (a bare X server) nothing else would, and
// the menus' shortcuts and mnemonics, which work only in an active window,
// would be lost until a click.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vistorel {

class KeyboardReturn : public QObject {
public:
    // Watches every window of the application while it lives; the main
    // window's own closing ends the program and is left alone.
    explicit KeyboardReturn(QWidget& mainWindow);
    ~KeyboardReturn() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Activated(QWidget& window);
    void Hidden(QWidget& window);

    QWidget& main_;
    std::vector<QPointer<QWidget>> recent_;  // the windows that had the keyboard, the latest first
};

}  // namespace vistorel
