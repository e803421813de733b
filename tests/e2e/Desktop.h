#pragma once
// The desktops users really run the program on, each on an X server of its
// own that the test's mouse, keyboard and eyes work on: a bare X server, X
// with a window manager that frames and stacks the windows (openbox), and a
// Wayland compositor (weston, its output a window on that X server, so that
// xdotool moves its pointer and import takes its screen). Windows are found on
// the screen by the program's own pictures, which works alike everywhere,
// also where the compositor alone knows where a window is.

#include "XSession.h"

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace vistorel::e2e {

enum class DesktopKind { BareX, Openbox, Weston };

QString NameOf(DesktopKind kind);

class Desktop {
public:
    Desktop(DesktopKind kind, int width, int height);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    DesktopKind Kind() const { return kind_; }
    // Why the desktop could not be started: a tool that cannot run at all
    // (the test is skipped) or one that failed (the test fails).
    bool Running() const { return problem_.isEmpty(); }
    bool Missing() const { return missing_; }
    const QString& Problem() const { return problem_; }
    // The X server the user works on (the compositor's output stands on it).
    const VirtualDisplay& Screen() const { return *display_; }
    // The environment of the program: the X display, or the Wayland socket
    // without a DISPLAY; the platform left to the program to choose.
    QProcessEnvironment ProgramEnvironment() const;
    // What the window manager or compositor said, for a failure message.
    QString Said();

private:
    bool StartManager(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment);
    bool WaitUntilManaging();

    DesktopKind kind_;
    std::unique_ptr<VirtualDisplay> display_;
    QProcess manager_;
    QTemporaryDir runtime_;  // the compositor's XDG_RUNTIME_DIR
    QString socket_;
    QString problem_;
    bool missing_ = false;
};

// Where the picture (its first `rows` rows, all when 0) stands on the screen,
// point for point; the first place from the top, or none.
std::optional<QPoint> FindPicture(const QImage& screen, const QImage& picture, int rows = 0,
                                  const QRect& within = {});
// Whether the picture stands exactly at that place.
bool PictureAt(const QImage& screen, const QImage& picture, QPoint at);
// Points in which two pictures of the same size differ.
int PointsChanged(const QImage& now, const QImage& before);
// Points of the area of exactly this colour.
int PixelsOf(const QImage& screen, const QRect& area, QRgb colour);
// The smallest rectangle holding every point of this colour, if at least `least` are there.
std::optional<QRect> AreaOf(const QImage& screen, QRgb colour, int least);

// The client area of the visible X window with exactly this title, on the
// screen, inside whatever frame a window manager gave it.
std::optional<QRect> ClientRectOf(const VirtualDisplay& display, const QString& title);

// One of the program's pictures, from the build's images folder.
QImage ProgramPicture(const QString& name);

}  // namespace vistorel::e2e
