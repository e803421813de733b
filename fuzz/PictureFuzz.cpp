// Fuzz target: the picture loader (BMP through Qt, JPEG through libjpeg) as
// the preferences' background picture and the window images use it. A file
// either loads into a picture within the size limits, ready to draw, or is
// refused with a reason, the bitmap keeping the picture it held.

#include "FuzzSupport.h"

#include "platform/Bitmap.h"
#include "platform/Errors.h"

#include <QImage>

namespace vistorel::fuzz {
namespace {

// The picture a bitmap holds before each load: 3 x 2 points.
const Bitmap& HeldPicture() {
    static const Bitmap held = [] {
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        const QString file = ScratchFile(QStringLiteral("held.bmp"));
        FUZZ_CHECK(image.save(file, "BMP"));
        Bitmap bitmap;
        bitmap.LoadFromFile(file);
        return bitmap;
    }();
    return held;
}

void CheckLoaded(const Bitmap& bitmap) {
    FUZZ_CHECK(!bitmap.Empty());
    FUZZ_CHECK(bitmap.Width() >= 1 && bitmap.Width() <= kMaxPictureSide);
    FUZZ_CHECK(bitmap.Height() >= 1 && bitmap.Height() <= kMaxPictureSide);
    FUZZ_CHECK(qint64{bitmap.Width()} * bitmap.Height() <= kMaxPicturePixels);
    FUZZ_CHECK(PictureSizeProblem(bitmap.Width(), bitmap.Height()).isEmpty());
    FUZZ_CHECK(bitmap.Image().format() == QImage::Format_RGB32);
    FUZZ_CHECK(bitmap.Image().size() == QSize(bitmap.Width(), bitmap.Height()));
}

}  // namespace
}  // namespace vistorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const Bitmap& held = HeldPicture();
    const QString file = ScratchFile(QStringLiteral("picture"));
    WriteScratch(file, data, size);

    Bitmap bitmap = held;
    try {
        bitmap.LoadFromFile(file);
    } catch (const FileError& e) {
        // Refused with the file named and a reason given; nothing changed.
        FUZZ_CHECK(e.Path() == file && e.Message().contains(file));
        FUZZ_CHECK(!e.Message().trimmed().endsWith(u':'));
        FUZZ_CHECK(bitmap.Image().cacheKey() == held.Image().cacheKey());
        return 0;
    }
    CheckLoaded(bitmap);
    return 0;
}
