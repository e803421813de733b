#pragma once
// A top-level window of the program: a persistent drawing surface that the
// window's code paints on at any time, event handlers in the form of the
// window definitions, and the window styles the program uses.

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Colour.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class QMenuBar;
class QWidget;

namespace vistorel {

class FormWindow;
class FormSurface;

enum class BorderStyle {
    Sizeable,     // ordinary resizable window
    Single,       // fixed border with caption bar and system menu
    Dialog,       // dialog frame: caption and close box, not resizable
    None,         // no frame and no caption bar
    SizeToolWin,  // resizable tool window with a small caption bar
};

enum class CursorShape { Default, HourGlass, HandPoint };

enum class MouseButton { Left, Right, Middle };

// A window as its definition describes it.
struct FormDesign {
    QString Caption;
    BorderStyle Border = BorderStyle::Sizeable;
    // Designed to stay on top: every window that another one opens stays above
    // that one (see Form::Show), none floats above other programs' windows.
    bool StayOnTop = false;
    int Left = 0;
    int Top = 0;
    int Width = 0;   // client width, or outer width when OuterSize
    int Height = 0;  // client height, or outer height when OuterSize
    bool OuterSize = false;
    TColor Color = clBtnFace;
};

class Form : public SurfaceTarget {
public:
    explicit Form(Application& app);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Runs FormCreate through the handler guard; called once after construction.
    void Create();

    Application& App() { return app_; }
    vistorel::Canvas Canvas;

    // Caption, frame, position, size and colour in one step.
    void ApplyDesign(const FormDesign& design);

    // Window properties.
    void SetCaption(const QString& caption);
    QString Caption() const;
    void SetBorderStyle(BorderStyle style);
    void SetCursor(CursorShape shape);
    void SetPosition(int left, int top);
    void SetClientSize(int width, int height);
    // Outer size, frame and caption bar included.
    void SetOuterSize(int width, int height);
    int Left() const;
    int Top() const;
    // Outer width and height: frame, caption bar and menu bar included.
    int Width() const;
    int Height() const;
    int ClientWidth() const;
    int ClientHeight() const;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    void SetMenuBar(QMenuBar* menu);
    bool HasMenuBar() const { return menu_ != nullptr; }
    // Closing this window ends the message loop; it stands on its own.
    void SetMainForm(bool main);
    // A window that no other one opens (the welcome and the main window)
    // stands on its own. Every other window is kept above the window that
    // opened it (see Show).
    void SetStandalone(bool on);
    // The window that opened this one last; null for a standalone window or
    // one that was shown by no window of the program.
    Form* Opener() const { return opener_; }
    // The keys of a dialog: Enter (either key) runs `accept`, Escape runs
    // `cancel`, when the control that has the focus leaves them unused (a
    // multi-line field keeps Enter for its new lines). Either may be empty.
    void SetDialogKeys(std::function<void()> accept, std::function<void()> cancel);

    // Shows the window in front and gives it the keyboard, unless it was
    // made to show without taking it. A hidden window becomes the transient
    // window of the one the user called it from (Application::CallingForm),
    // so that the desktop keeps it above that one, with any window manager
    // and on Wayland; the first time it is placed (FirstPosition); and it is
    // moved, and shrunk if it is resizable, to lie on the screen, also once
    // the window manager has framed it.
    void Show();
    void SetShowWithoutActivating(bool on);
    // Shown over the screen's working area, in whole device pixels.
    void ShowMaximized();
    void Hide();
    // Runs FormClose, hides the window and, for the main form, ends the program.
    void Close();
    bool Visible() const;
    bool Maximized() const;
    // Fills the surface with the window colour and runs FormPaint.
    void Repaint();

    QWidget* Widget() const;   // the top-level window
    QWidget* Surface() const;  // the client area; parent of labels and controls

    // Where the window goes when it is shown the first time, as the position
    // of its frame on the screen, given the window that opens it (null when
    // none does): by default where it stands.
    virtual QPoint FirstPosition(const Form* opener) const;
    // The part of this window, on the screen, near which the windows it opens
    // may place themselves: by default the whole window.
    virtual QRect ScreenAnchor() const;

    // Event handlers; the toolkit calls them through the handler guard.
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormPaint() {}
    virtual void FormMouseDown(MouseButton, int, int) {}
    virtual void FormMouseMove(int, int) {}
    virtual void FormMouseUp(MouseButton, int, int) {}
    // A key the window's controls left unused, before FormKeyPress gets its
    // character; true when the window used it.
    virtual bool FormKeyDown(int /*key*/, Qt::KeyboardModifiers) { return false; }
    virtual void FormKeyPress(QChar) {}
    virtual void FormClose() {}

    // SurfaceTarget
    QImage& SurfaceImage() override;
    void SurfaceChanged(const QRect& area) override;

private:
    friend class FormWindow;
    friend class FormSurface;
    void ApplyFlags();
    void WindowShown(bool spontaneous);
    void WindowClosing();
    void SurfaceResized();
    void KeepFixedSize();
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void BeforeShowing();
    void AttachToCaller();
    void FitOnScreen();
    void FrameChanged();

    Application& app_;
    std::unique_ptr<FormWindow> window_;
    FormSurface* surface_ = nullptr;
    QMenuBar* menu_ = nullptr;
    std::function<void()> acceptKey_;
    std::function<void()> cancelKey_;
    QSize fixedSize_;  // the client size set last, menu bar included
    TColor color_ = clBtnFace;
    BorderStyle border_ = BorderStyle::Sizeable;
    Form* opener_ = nullptr;
    // Runs from each show for as long as a window manager may still be
    // framing and placing the window.
    QElapsedTimer settling_;
    bool standalone_ = false;
    bool placed_ = false;
    bool mainForm_ = false;
    bool closing_ = false;
    bool shown_ = false;
};

}  // namespace vistorel
