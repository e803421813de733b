#pragma once
// Helpers for the tests of the trainer windows: pictures of the build, and
// whether a window's surface shows one at a place.

#include "platform/Form.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace vistorel::test {

inline QImage Picture(const QString& file) { return QImage(QDir(ImagesDirectory()).filePath(file)); }

// Whether the surface shows the picture with its top-left corner at (x, y);
// the parts outside the surface, and a border of `inset` pixels, are not compared.
inline ::testing::AssertionResult Shows(Form& form, int x, int y, const QString& file, int inset = 0) {
    const QImage picture = Picture(file);
    if (picture.isNull()) return ::testing::AssertionFailure() << "cannot read " << file.toStdString();
    for (int py = inset; py < picture.height() - inset; ++py) {
        for (int px = inset; px < picture.width() - inset; ++px) {
            const int sx = x + px;
            const int sy = y + py;
            if (sx < 0 || sy < 0 || sx >= form.ClientWidth() || sy >= form.ClientHeight()) continue;
            if (form.Canvas.Pixel(sx, sy) != FromRgb(picture.pixel(px, py))) {
                return ::testing::AssertionFailure() << file.toStdString() << " not shown at " << x << ", " << y
                                                     << ": differs at " << sx << ", " << sy;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline QString RingFile(int n) { return QStringLiteral("Ring%1.bmp").arg(n); }

}  // namespace vistorel::test
