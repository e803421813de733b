#include "library/BookmarkDialog.h"

#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"

namespace vistorel {
namespace {

HitRect At(QPoint at, int width) { return {at.x(), at.y(), at.x() + width, at.y() + 30}; }

}  // namespace

BookmarkDialog::BookmarkDialog(Program& program, QPoint accept, QPoint cancel)
    : Form(program.App),
      program(program),
      buttons_{{
          {&program.preferencesWindow->AcceptImages(), accept, At(accept, 50), At(accept, 50)},
          {&program.preferencesWindow->CancelImages(), cancel, At(cancel, 60), At(cancel, 60)},
      }} {
    SetDialogKeys([this] { Accept(); }, [this] { Hide(); });
}

void BookmarkDialog::FormCreate() {
    // Made once the fields of the window exist, so that Tab reaches them first.
    focus_ = {new ImageButtonFocus(*this, QStringLiteral("Принять"), [this] { Accept(); }),
              new ImageButtonFocus(*this, QStringLiteral("Отмена"), [this] { Hide(); })};
}

void BookmarkDialog::FormPaint() {
    Canvas.Pen.Color = clAccent;
    Canvas.Brush.Style = BrushStyle::Clear;
    Canvas.Rectangle(0, 0, Width() - 4, Height() - 4);
    for (const ImageButton& button : buttons_) button.DrawNormal(Canvas);
    for (int b = 0; b < kButtonCount; ++b) focus_[b]->Place(buttons_[b]);
}

void BookmarkDialog::FormMouseMove(int x, int y) {
    for (int b = 0; b < kButtonCount; ++b) buttons_[b].Track(Canvas, x, y, hover_[b]);
}

void BookmarkDialog::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_[kAccept].Clicked(x, y)) Accept();
    if (buttons_[kCancel].Clicked(x, y)) Hide();
}

}  // namespace vistorel
