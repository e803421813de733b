#pragma once
// The look shared by the borderless black windows (preferences, text manager,
// add text): background tile rows below the title band, the orange outlines
// of the window and of its title band, and the animated title.

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Timer.h"

#include <vector>

namespace vistorel {

class PictureLoader;

// Rows of the tile from y = top while a row's top is above height - 50, each
// row across the whole width. A tile without a size draws nothing.
void TileRows(Canvas& canvas, const Bitmap& tile, int top, int width, int height);

// The 1-pixel orange outline around the window, (0, 0)-(width, height), and
// around the title band, (0, 0)-(width, 35); the inside is left as it is.
void DrawSkinOutlines(Canvas& canvas, int width, int height);

// The animated title: a 150 ms timer that draws frames 1..N one per tick at
// (2, 2) and stops itself after frame N. The frame counter goes back to 0
// only when the window says so (on hiding, or on every paint for some).
class TitleAnimation {
public:
    // A still picture and frameCount frames, drawn on the canvas.
    TitleAnimation(Application& app, Canvas& canvas, int frameCount);

    // The still picture, frame 0.
    void LoadStill(const PictureLoader& pictures, const QString& name);
    // Frames 1..N from the numbered pictures `pattern` (its %1 becomes four
    // digits), frame 1 from the one numbered `firstFile`; a picture that
    // cannot be loaded is reported and leaves its frame empty.
    void LoadFrames(const PictureLoader& pictures, const QString& pattern, int firstFile);

    int Frame() const { return frame_; }
    Timer& AnimationTimer() { return timer_; }

    // Painting: the timer runs again (the next tick stops it when all frames were shown).
    void Start() { timer_.SetEnabled(true); }
    void Stop() { timer_.SetEnabled(false); }
    void Reset() { frame_ = 0; }
    void DrawStill();
    // The frame last drawn again, after a repaint cleared it; nothing before frame 1.
    void DrawCurrent();
    // One tick: the next frame, and the timer off after the last.
    void OnTick();

private:
    Canvas& canvas_;
    Timer timer_;
    std::vector<Bitmap> frames_;
    int frameCount_;
    int frame_ = 0;
};

}  // namespace vistorel
