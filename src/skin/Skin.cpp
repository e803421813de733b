#include "skin/Skin.h"

#include "skin/PictureLoader.h"

namespace vistorel {

void TileRows(Canvas& canvas, const Bitmap& tile, int top, int width, int height) {
    if (tile.Width() <= 0 || tile.Height() <= 0) return;
    for (int y = top; y < height - 50; y += tile.Height()) {
        for (int x = 0; x < width; x += tile.Width()) canvas.Draw(x, y, tile);
    }
}

void DrawSkinOutlines(Canvas& canvas, int width, int height) {
    canvas.Pen.Color = clAccent;
    canvas.Brush.Style = BrushStyle::Clear;
    canvas.Rectangle(0, 0, width, height);
    canvas.Rectangle(0, 0, width, 35);
}

TitleAnimation::TitleAnimation(Application& app, Canvas& canvas, int frameCount)
    : canvas_(canvas), timer_(app, 150), frames_(static_cast<std::size_t>(frameCount) + 1), frameCount_(frameCount) {
    timer_.OnTimer = [this] { OnTick(); };
}

void TitleAnimation::LoadFrames(const PictureLoader& pictures, const QString& pattern, int firstFile) {
    for (int n = 1; n <= frameCount_; ++n) {
        pictures.LoadImageOrReport(frames_[static_cast<std::size_t>(n)],
                                  pattern.arg(firstFile + n - 1, 4, 10, QLatin1Char('0')));
    }
}

void TitleAnimation::LoadStill(const PictureLoader& pictures, const QString& name) {
    pictures.LoadImageOrReport(frames_[0], name);
}

void TitleAnimation::DrawStill() { canvas_.Draw(2, 2, frames_[0]); }

void TitleAnimation::DrawCurrent() {
    if (frame_ > 0) canvas_.Draw(2, 2, frames_[static_cast<std::size_t>(frame_)]);
}

void TitleAnimation::OnTick() {
    if (frame_ < frameCount_) {
        ++frame_;
        canvas_.Draw(2, 2, frames_[static_cast<std::size_t>(frame_)]);
    }
    if (frame_ >= frameCount_) timer_.SetEnabled(false);
}

}  // namespace vistorel
