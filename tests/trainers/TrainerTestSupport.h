#pragma once
// Helpers for the trainer window tests: whether a surface shows a picture of the build.

#include "platform/Form.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace vistorel::test {

// The picture with its top-left corner at (x, y), a border of `inset` pixels
// and whatever lies outside the surface not compared.
inline ::testing::AssertionResult Shows(Form& form, int x, int y, const QString& file, int inset = 0) {
    const QImage picture(QDir(ImagesDirectory()).filePath(file));
    if (picture.isNull()) return ::testing::AssertionFailure() << "cannot read " << file.toStdString();
    for (int py = inset; py < picture.height() - inset; ++py) {
        for (int px = inset; px < picture.width() - inset; ++px) {
            const int sx = x + px, sy = y + py;
            if (sx < 0 || sy < 0 || sx >= form.ClientWidth() || sy >= form.ClientHeight()) continue;
            if (form.Canvas.Pixel(sx, sy) != FromRgb(picture.pixel(px, py))) {
                return ::testing::AssertionFailure() << file.toStdString() << " not at " << x << ", " << y;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline QString RingFile(int n) { return QStringLiteral("Ring%1.bmp").arg(n); }

// Presses a mouse button at (x, y) of the window, through the handler guard.
inline void PressAt(Application& app, Form& form, int x, int y) {
    app.Guard([&] { form.FormMouseDown(MouseButton::Left, x, y); });
}

}  // namespace vistorel::test
