#pragma once

#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"

namespace vistorel {

class Program;

// The about window: the product's title picture, its web page and support
// address, and a button that closes it.
class AboutWindow : public Form {
public:
    explicit AboutWindow(Program& program);

    void FormCreate() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // The close button, drawn with the preferences window's accept pictures.
    ImageButton CloseButton() const;

    Label webPageLabel;
    Label mailLabel;
    // The close button as the keyboard and a screen reader reach it.
    ImageButtonFocus* closeFocus = nullptr;

    static constexpr int kPictureHeight = 249;  // the rows of the title picture on show

private:
    Program& program;
    Bitmap picture_;
};

}  // namespace vistorel
