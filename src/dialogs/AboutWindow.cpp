#include "dialogs/AboutWindow.h"

#include "VistorelPictures.h"
#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "skin/DesignedFrame.h"


namespace vistorel {
namespace {

Font AddressFont() {
    Font font;
    font.Height = 13;
    font.Bold = true;
    // A blue that stays readable on the black window.
    font.Color = 0xFF9A4A;
    return font;
}

}  // namespace

AboutWindow::AboutWindow(Program& program)
    : Form(program.App),
      webPageLabel(*this, 176, 256, QStringLiteral("https://vistorel.example"), AddressFont()),
      mailLabel(*this, 178, 272, QStringLiteral("e-mail:. help@vistorel.example"), AddressFont()),
      program(program) {
    ApplyDesign({QStringLiteral("About"), BorderStyle::Dialog, false, 114, 43, 409, 330, false, clBlack});
    SetDialogKeys([this] { Hide(); }, [this] { Hide(); });
    closeFocus = new ImageButtonFocus(*this, QStringLiteral("Принять"), [this] { Hide(); });
}

void AboutWindow::FormCreate() { picture_.LoadFromFile(QString::fromLatin1(pictures::kAbout)); }

ImageButton AboutWindow::CloseButton() const {
    // The button sits 60 pixels above the bottom of the window as designed:
    // whatever frame the desktop gives the window (a thick title bar, none),
    // it keeps its place above the bottom of the client area, below the
    // addresses.
    const int top = DesignedOuterHeight(*this) - 60;
    const HitRect rect{180, top, 245, top + 30};
    return {&program.preferencesWindow->AcceptImages(), {180, top}, rect, rect};
}

void AboutWindow::FormPaint() {
    // Only the top rows of the picture show; the addresses stand below them.
    Canvas.Draw(0, 0, picture_);
    Canvas.Brush = {clBlack, BrushStyle::Solid};
    Canvas.FillRect(0, kPictureHeight, ClientWidth(), ClientHeight());
    const ImageButton close = CloseButton();
    close.DrawNormal(Canvas);
    closeFocus->Place(close);
    program.preferencesWindow->AcceptHover() = false;
}

void AboutWindow::FormMouseMove(int x, int y) { CloseButton().Track(Canvas, x, y, program.preferencesWindow->AcceptHover()); }

void AboutWindow::FormMouseDown(MouseButton, int x, int y) {
    if (CloseButton().Clicked(x, y)) Hide();
}

}  // namespace vistorel
