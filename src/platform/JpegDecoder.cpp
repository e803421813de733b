#include "platform/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/Bitmap.h"

namespace vistorel {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder with the message saved. Only plain C data
// lives between setjmp and longjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool cutShort;
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void OutputMessage(j_common_ptr) {}  // warnings are not shown

// Warnings are not shown either, but a file that ends before its picture
// does is noted: libjpeg would fill the rest grey and call it decoded.
void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    ++info->err->num_warnings;
    if (info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrorManager*>(info->err)->cutShort = true;
}

// A progressive picture may hold any number of scans, each a pass over the
// whole picture: a crafted file could keep the decoder busy for minutes.
// Real pictures have about ten.
constexpr int kMaxScans = 100;

void CountScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(manager->message, JMSG_LENGTH_MAX, "more than %d scans", kMaxScans);
        std::longjmp(manager->jump, 1);
    }
}

// The decoded picture in the layout of a 32-bit QImage (0xFFRRGGBB words),
// so that it becomes the image without a copy.
struct RawPicture {
    unsigned char* pixels = nullptr;  // malloc'ed rows of width words
    unsigned width = 0;
    unsigned height = 0;
};

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kWordLayout = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kWordLayout = JCS_EXT_ARGB;
#endif

enum class Outcome { Decoded, Broken, CutShort, TooLarge, NoMemory };

Outcome DecodeRaw(const unsigned char* data, unsigned long size, RawPicture* out, char* message) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.output_message = OutputMessage;
    errors.base.emit_message = EmitMessage;
    errors.message[0] = '\0';
    errors.cutShort = false;
    if (setjmp(errors.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_decompress(&info);
        std::free(out->pixels);
        out->pixels = nullptr;
        return Outcome::Broken;
    }
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = CountScans;
    info.progress = &progress;
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    // The header may claim any size: one above the limit is refused before
    // anything is allocated for it.
    out->width = info.image_width;
    out->height = info.image_height;
    if (!PictureSizeFits(out->width, out->height)) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    info.out_color_space = kWordLayout;
    jpeg_start_decompress(&info);
    out->width = info.output_width;
    out->height = info.output_height;
    const std::size_t stride = static_cast<std::size_t>(out->width) * 4;
    out->pixels = static_cast<unsigned char*>(std::malloc(stride * out->height));
    if (out->pixels == nullptr) {
        jpeg_destroy_decompress(&info);
        return Outcome::NoMemory;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (errors.cutShort) {
        std::free(out->pixels);
        out->pixels = nullptr;
        return Outcome::CutShort;
    }
    return Outcome::Decoded;
}

void FreePixels(void* pixels) { std::free(pixels); }

}  // namespace

QImage DecodeJpeg(const QByteArray& data, QString* error) {
    RawPicture raw;
    char message[JMSG_LENGTH_MAX] = {};
    const Outcome outcome = DecodeRaw(reinterpret_cast<const unsigned char*>(data.constData()),
                                      static_cast<unsigned long>(data.size()), &raw, message);
    QString problem;
    switch (outcome) {
        case Outcome::Decoded: break;
        case Outcome::Broken:
            problem = QStringLiteral("файл JPEG повреждён (%1)").arg(QString::fromLatin1(message));
            break;
        case Outcome::CutShort: problem = QStringLiteral("файл JPEG обрезан: в нём нет конца картинки"); break;
        case Outcome::TooLarge: problem = PictureSizeProblem(raw.width, raw.height); break;
        case Outcome::NoMemory: problem = QStringLiteral("недостаточно памяти"); break;
    }
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return {};
    }
    // The image takes the pixels over and frees them.
    return QImage(raw.pixels, static_cast<int>(raw.width), static_cast<int>(raw.height),
                  static_cast<qsizetype>(raw.width) * 4, QImage::Format_RGB32, FreePixels, raw.pixels);
}

}  // namespace vistorel
