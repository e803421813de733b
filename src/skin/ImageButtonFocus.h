#pragma once
// The keyboard's and the screen reader's side of a painted image button: an
// invisible button over its picture. It takes the focus in Tab order and
// shows a ring around the picture while it has it (once the keyboard has
// been used in the window), runs the button's action
// on Space or Enter (and when a screen reader presses it), and gives the
// button its name and the role of a push button. The mouse goes through it
// to the window, whose hover pictures and mouse-down actions stay its own.

#include "skin/ImageButton.h"

#include <QAbstractButton>
#include <QColor>
#include <QString>
#include <functional>

namespace vistorel {

class Application;
class Form;

class ImageButtonFocus : public QAbstractButton {
public:
    // A button on the window's surface, after the controls made before it in
    // Tab order.
    ImageButtonFocus(Form& window, const QString& name, std::function<void()> action);

    // Over the button's picture, or inside its click rectangle while it has no
    // picture; never past the window's edge.
    void Place(const ImageButton& button);
    // Over a picture drawn at `at`, or inside `rect` when the picture is empty.
    void Place(QPoint at, const Bitmap& picture, const HitRect& rect);

    // A key held down repeats the action (the speed buttons); otherwise a held
    // key acts once.
    void SetRepeating(bool on) { repeating_ = on; }

    // Runs the action through the handler guard, as Space does.
    void Activate();

    // The gap between the picture and the ring, the ring's width, and its
    // colour, pale on the black windows and their orange pictures alike (the
    // other controls of the skinned windows show their focus in it too).
    static constexpr int kRingGap = 1;
    static constexpr int kRingWidth = 2;
    static constexpr QRgb kRingColour = 0xFFFFF4E0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    Application& app_;
    std::function<void()> action_;
    bool repeating_ = false;
};

}  // namespace vistorel
