#pragma once
// A real X server for the end-to-end runs, and a user at its mouse and
// keyboard: Xvfb on a free display, xdotool for the hands, ImageMagick's
// import for the eyes. Every wait has a time limit and says what it waited for.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vistorel::e2e {

// How long any one thing the user waits for may take, however busy the machine.
constexpr int kPatienceMs = 20000;

// Makes the process started next end when the test process ends, however
// it ends, so that no server or program outlives a test killed for its time.
void EndWithThisProcess(QProcess& process);

// An X server of its own, on a display number no other server holds.
class VirtualDisplay {
public:
    VirtualDisplay(int width, int height);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Running() const { return !name_.isEmpty(); }
    // Why the server could not be started.
    const QString& Problem() const { return problem_; }
    // ":N"
    const QString& Name() const { return name_; }
    // The environment of a program whose windows go to this display.
    QProcessEnvironment Environment() const;
    // The display, whether its server still runs and what it printed, for a failure message.
    QString State();

private:
    QProcess server_;
    QString name_;
    QString problem_;
};

// A top-level window on the screen: its X id and outer rectangle (without a
// window manager there is no frame, so this is the client area too).
struct ScreenWindow {
    QString Id;
    QRect Rect;
};

// The user: finds windows by their title, clicks, types and looks at the screen.
class ScreenUser {
public:
    explicit ScreenUser(const VirtualDisplay& display) : environment_(display.Environment()) {}

    // The tools it needs that are missing ("xdotool", "import"); empty when all are there.
    static QStringList MissingTools();

    // The visible window with exactly this title, once it is there.
    std::optional<ScreenWindow> WaitForWindow(const QString& title, int timeoutMs = kPatienceMs) const;
    // Until no visible window has this title.
    bool WaitUntilGone(const QString& title, int timeoutMs = kPatienceMs) const;
    // The titles of the visible windows, for a failure message.
    QStringList VisibleTitles() const;
    // Until the window has the keyboard focus, so that keys sent next go to
    // it: a window shown is on the screen a moment before the program gives
    // it the focus, and keys sent in that moment go to the window that had it.
    bool WaitForFocus(const ScreenWindow& window, int timeoutMs = kPatienceMs) const;
    // The X id of the window that has the keyboard focus.
    QString FocusedWindow() const;
    // Polls the condition every 100 ms until it holds or the time is up.
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kPatienceMs);

    void Click(QPoint at) const;
    // The pointer moved there, without a click.
    void Move(QPoint at) const;
    // A click that opens a window: clicked again when the window is slow to
    // come (for commands that only show a window, where a second click does
    // no harm), until it is there or the time is up.
    std::optional<ScreenWindow> ClickToOpen(QPoint at, const QString& title) const;
    // Types the text, Russian letters with the keys of the keyboard's Russian
    // layout. The keyboard gets its English and Russian layouts at the first
    // text typed, while the program runs, and keeps them: a program reads a
    // key with the mapping it has when it reads it, so a mapping changed
    // after the keys were pressed (a spare key remapped for each letter, or
    // the layout switched back) turned the letters of a program slow to read
    // them into others. (Layouts set before the program started lost the
    // Russian letters of a slow program.)
    bool Type(const QString& text) const;
    void Keys(const QStringList& keys) const;
    // The whole screen as it is now (a null image when it cannot be taken).
    QImage Screen() const;

private:
    QString Xdotool(const QStringList& arguments, bool* ok = nullptr) const;
    // The keyboard's layout, as setxkbmap names it ("us", "ru").
    bool SetKeyboardLayout(const QString& layout) const;

    QProcessEnvironment environment_;
    mutable bool layouts_ = false;  // both layouts are set
};

}  // namespace vistorel::e2e
