// Loading pictures: BMP through Qt, JPEG through libjpeg, clear errors for bad files.

#include "TestSupport.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Errors.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <vector>

using namespace vistorel;

namespace {

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

QImage TwoColourPicture() {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(QColor(255, 161, 77));
    for (int y = 0; y < 8; ++y) {
        for (int x = 8; x < 16; ++x) image.setPixelColor(x, y, Qt::blue);
    }
    return image;
}

// A valid grey progressive JPEG of 128 scans: every AC coefficient in a scan
// of its own, first its high bits, then the last bit.
QByteArray ManyScanJpeg() {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    std::vector<jpeg_scan_info> scans;
    for (int pass = 0; pass < 2; ++pass) {
        const int ah = pass == 0 ? 0 : 1;
        const int al = pass == 0 ? 1 : 0;
        scans.push_back({1, {0}, 0, 0, ah, al});
        for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, ah, al});
    }
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) row[x] = static_cast<unsigned char>((x * y * 7) % 256);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

}  // namespace

TEST(Bitmap, LoadsBmpAndJpegFilesWithTheirSizeAndColours) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("p.bmp"), Encode(TwoColourPicture(), "BMP"));
    dir.Write(QStringLiteral("p.jpg"), Encode(TwoColourPicture(), "JPG"));

    Bitmap bmp;
    bmp.LoadFromFile(dir.File(QStringLiteral("p.bmp")));
    EXPECT_EQ(bmp.Width(), 16);
    EXPECT_EQ(bmp.Height(), 8);
    EXPECT_EQ(bmp.Image().pixel(0, 0), qRgb(255, 161, 77));

    Bitmap jpeg;
    jpeg.LoadFromFile(dir.File(QStringLiteral("p.jpg")));
    ASSERT_EQ(jpeg.Width(), 16);
    ASSERT_EQ(jpeg.Height(), 8);
    const QColor left = jpeg.Image().pixelColor(2, 4);
    const QColor right = jpeg.Image().pixelColor(13, 4);
    EXPECT_NEAR(left.red(), 255, 12);
    EXPECT_NEAR(left.green(), 161, 12);
    EXPECT_NEAR(right.blue(), 255, 12);
    EXPECT_NEAR(right.red(), 0, 12);
}

TEST(Bitmap, MissingAndBrokenFilesRaiseFileErrorsNamingThePathAndKeepThePicture) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("ok.bmp"), Encode(TwoColourPicture(), "BMP"));
    dir.Write(QStringLiteral("text.bmp"), QByteArray("this is no picture"));
    dir.Write(QStringLiteral("header.jpg"), QByteArray("\xFF\xD8\xFF\xE0garbage"));

    Bitmap bitmap;
    bitmap.LoadFromFile(dir.File(QStringLiteral("ok.bmp")));
    for (const char* name : {"missing.bmp", "text.bmp", "header.jpg"}) {
        const QString path = dir.File(QString::fromLatin1(name));
        try {
            bitmap.LoadFromFile(path);
            ADD_FAILURE() << name << " loaded";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.Message().contains(path)) << qPrintable(e.Message());
        }
        EXPECT_EQ(bitmap.Width(), 16) << "a failed load keeps the previous picture";
    }
}

// A BMP of 2 x 2 points at 24 bits, rows from the given height's side: the
// first row stored red, the second blue.
QByteArray TwoRowBmp(qint32 height) {
    QByteArray bmp("BM", 2);
    const auto put = [&](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(54 + 16, 4), put(0, 4), put(54, 4);                         // file size, reserved, pixels at
    put(40, 4), put(2, 4), put(static_cast<quint32>(height), 4);  // header size, width, height
    put(1, 2), put(24, 2), put(0, 4), put(16, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    bmp.append("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);  // two red points (blue, green, red), padding
    bmp.append("\xFF\x00\x00\xFF\x00\x00\x00\x00", 8);  // two blue points, padding
    return bmp;
}

// Rows are stored bottom up, or top down when the height is negative; a
// picture cut short (its points running past the end of the file, or
// starting after it) is refused, not shown with black or grey for the part
// that is missing.
TEST(Bitmap, RowOrderAndPicturesCutShort) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("up.bmp"), TwoRowBmp(2));
    dir.Write(QStringLiteral("down.bmp"), TwoRowBmp(-2));
    Bitmap up;
    up.LoadFromFile(dir.File(QStringLiteral("up.bmp")));
    EXPECT_EQ(up.Image().pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(up.Image().pixel(1, 0), qRgb(0, 0, 255));
    Bitmap down;
    down.LoadFromFile(dir.File(QStringLiteral("down.bmp")));
    EXPECT_EQ(down.Image().pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(down.Image().pixel(1, 1), qRgb(0, 0, 255));

    dir.Write(QStringLiteral("short.bmp"), TwoRowBmp(2).left(54 + 12));
    QByteArray late = TwoRowBmp(2);
    late[10] = '\x40';  // the points would start at byte 64
    dir.Write(QStringLiteral("late.bmp"), late);
    QImage large(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) large.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    }
    const QByteArray jpeg = Encode(large, "JPG");
    dir.Write(QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() * 3 / 4));
    for (const char* name : {"short.bmp", "late.bmp", "cut.jpg"}) {
        Bitmap bitmap;
        try {
            bitmap.LoadFromFile(dir.File(QString::fromLatin1(name)));
            ADD_FAILURE() << name << " loaded";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("обрезан"))) << qPrintable(e.Message());
        }
        EXPECT_TRUE(bitmap.Empty());
    }
}

// A JPEG of a few hundred bytes whose header claims width x height.
QByteArray JpegClaiming(int width, int height) {
    QByteArray jpeg = Encode(TwoColourPicture(), "JPG");
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

// The same for a BMP.
QByteArray BmpClaiming(int width, int height) {
    QByteArray bmp = Encode(TwoColourPicture(), "BMP");
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<char>((width >> (8 * i)) & 0xFF);
        bmp[22 + i] = static_cast<char>((height >> (8 * i)) & 0xFF);
    }
    return bmp;
}

// A picture's header may claim any size: a file of a few hundred bytes that
// claims 20000 x 20000 pixels would take gigabytes (and crashed the decoder
// when the allocation failed). Pictures past one limit for both formats
// (24 million points, 16384 a side) are refused before decoding, with the
// limit named; so is anything that is not a regular file, which could block
// the reader.
TEST(Bitmap, RefusesHugeClaimsAndFilesThatAreNotRegular) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("huge.jpg"), JpegClaiming(20000, 20000));
    dir.Write(QStringLiteral("wide.jpg"), JpegClaiming(16384, 8192));
    dir.Write(QStringLiteral("huge.bmp"), BmpClaiming(20000, 20000));
    dir.Write(QStringLiteral("square.bmp"), BmpClaiming(8192, 8192));
    const QString fifo = dir.File(QStringLiteral("fifo.bmp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QString limit = QStringLiteral("не больше 24 млн точек и не больше 16384 точек по стороне");
    const std::vector<std::pair<QString, QString>> refused = {
        {dir.File(QStringLiteral("huge.jpg")), QStringLiteral("20000 × 20000")},
        {dir.File(QStringLiteral("wide.jpg")), QStringLiteral("(16384 × 8192 точек): программа берёт картинки ") + limit},
        {dir.File(QStringLiteral("huge.bmp")), QStringLiteral("20000 × 20000")},
        {dir.File(QStringLiteral("square.bmp")), QStringLiteral("(8192 × 8192 точек): программа берёт картинки ") + limit},
        {fifo, QStringLiteral("канал (FIFO)")},
        {QStringLiteral("/dev/null"), QStringLiteral("устройство")},
    };
    for (const auto& [path, reason] : refused) {
        Bitmap bitmap;
        try {
            bitmap.LoadFromFile(path);
            ADD_FAILURE() << qPrintable(path) << " loaded";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.Message().contains(reason)) << qPrintable(e.Message());
        }
        EXPECT_TRUE(bitmap.Empty());
    }
    // Every scan of a progressive picture is a pass over all of it: a file of
    // more scans than any real picture has is refused, not decoded for minutes.
    dir.Write(QStringLiteral("scans.jpg"), ManyScanJpeg());
    Bitmap scans;
    EXPECT_THROW(scans.LoadFromFile(dir.File(QStringLiteral("scans.jpg"))), FileError);

    EXPECT_EQ(PictureSizeProblem(6000, 4000), QString());
    EXPECT_NE(PictureSizeProblem(6000, 4001), QString());
    EXPECT_EQ(PictureSizeProblem(16384, 1464), QString());
    EXPECT_NE(PictureSizeProblem(16385, 1), QString());
}

TEST(Bitmap, ImageNamesWithBackslashesResolveBelowTheGivenDirectory) {
    EXPECT_EQ(ResolveImageName(QStringLiteral("/start"), QStringLiteral("images\\bgrnd.bmp")),
              QStringLiteral("/start/images/bgrnd.bmp"));
    EXPECT_EQ(ResolveImageName(QStringLiteral("/start"), QStringLiteral("images/start01.bmp")),
              QStringLiteral("/start/images/start01.bmp"));
    EXPECT_EQ(ResolveImageName(QStringLiteral("/start"), QStringLiteral("/abs/pic.jpg")), QStringLiteral("/abs/pic.jpg"));
    EXPECT_EQ(ResolveImageName(QStringLiteral("/start"), QStringLiteral(":/pictures/legend.jpg")),
              QStringLiteral(":/pictures/legend.jpg"));
}

TEST(Bitmap, DrawingPlacesThePictureAndClipsItAtTheEdges) {
    test::StartDirectory dir(false);
    dir.Write(QStringLiteral("p.bmp"), Encode(TwoColourPicture(), "BMP"));
    Bitmap bitmap;
    bitmap.LoadFromFile(dir.File(QStringLiteral("p.bmp")));
    ImageSurface surface(20, 10, clBlack);
    Canvas canvas(surface);
    canvas.Draw(-8, 5, bitmap);  // only the blue right half is on the surface
    EXPECT_EQ(canvas.Pixel(0, 5), clBlue);
    EXPECT_EQ(canvas.Pixel(7, 9), clBlue);
    EXPECT_EQ(canvas.Pixel(8, 9), clBlack);
    EXPECT_EQ(canvas.Pixel(0, 4), clBlack);
    Bitmap empty;
    canvas.Draw(0, 0, empty);  // nothing loaded: nothing drawn
    EXPECT_EQ(canvas.Pixel(0, 0), clBlack);
}
