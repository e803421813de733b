#include "SkinPaint.h"

#include <QDir>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace vistorel::skin {

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    const auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()),
                  mix(a.alpha(), b.alpha()));
}

QFont SkinFont(int pixelSize, bool bold, bool condensed, double letterSpacing) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStretch(condensed ? QFont::Condensed : QFont::Unstretched);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    }
    return font;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QImage BlackImage(int w, int h, int scale) {
    QImage img(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::black);
    return img;
}

QImage ClearImage(int w, int h, int scale) {
    QImage img = BlackImage(w, h, scale);
    img.fill(Qt::transparent);
    return img;
}

int ScaleOf(const QPainter& p) {
    return p.device() ? static_cast<int>(std::lround(p.device()->devicePixelRatio())) : 1;
}

QSize LogicalSize(const QImage& img) { return img.deviceIndependentSize().toSize(); }

static QRect InkBounds(const QImage& img) {
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

Caption MakeCaption(const QString& text, const QFont& font, int scale) {
    const QFontMetricsF fm(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    double widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, fm.horizontalAdvance(line));
    }
    const int pad = font.pixelSize() + 4;
    const double lineStep = std::round(fm.lineSpacing() * 0.92);
    QImage canvas = ClearImage(static_cast<int>(std::ceil(widest)) + 2 * pad,
                               static_cast<int>(std::ceil(lineStep * static_cast<double>(lines.size()) + fm.height())) +
                                   2 * pad,
                               scale);
    const double firstBaseline = pad + std::round(fm.ascent());
    double baseline = firstBaseline;
    {
        QPainter p(&canvas);
        Prepare(p);
        p.setFont(font);
        p.setPen(Qt::white);
        for (const QString& line : lines) {
            const double x = std::round(pad + (widest - fm.horizontalAdvance(line)) / 2);
            p.drawText(QPointF(x, baseline), line);
            baseline += lineStep;
        }
    }
    // The ink as found at scale 1: at a larger one the caption is cut the
    // same way, so that both sit at the same place, in pixels as fine as the
    // device's.
    QRect ink = InkBounds(canvas);
    if (scale != 1) {
        const Caption unscaled = MakeCaption(text, font, 1);
        ink = QRect(unscaled.inkOrigin, LogicalSize(unscaled.ink));
    }
    if (ink.isEmpty()) {
        throw std::runtime_error("caption has no ink: " + text.toStdString());
    }
    Caption caption;
    caption.ink = canvas.copy(QRect(ink.topLeft() * scale, ink.size() * scale));
    caption.inkOrigin = ink.topLeft();
    caption.bandTop = firstBaseline - fm.capHeight();
    caption.bandBottom = baseline - lineStep;
    caption.centreX = ink.left() + ink.width() / 2.0;
    return caption;
}

QRect PlaceCaption(const Caption& caption, const QRectF& box) {
    const int dx = static_cast<int>(std::lround(box.center().x() - caption.centreX));
    const int dy = static_cast<int>(std::lround(box.center().y() - (caption.bandTop + caption.bandBottom) / 2));
    return QRect(caption.inkOrigin + QPoint(dx, dy), LogicalSize(caption.ink));
}

QFont FitFont(const std::vector<Fit>& fits, int pixelSize, int minPixelSize, bool bold, double letterSpacing) {
    for (int size = pixelSize; size >= minPixelSize; --size) {
        for (const bool condensed : {false, true}) {
            const QFont font = SkinFont(size, bold, condensed, letterSpacing);
            const bool allFit = std::all_of(fits.begin(), fits.end(), [&font](const Fit& fit) {
                return fit.room.contains(PlaceCaption(MakeCaption(fit.text, font), fit.box));
            });
            if (allFit) {
                return font;
            }
        }
    }
    QString texts;
    for (const Fit& fit : fits) {
        texts += QLatin1Char(' ') + fit.text;
    }
    throw std::runtime_error("captions do not fit:" + texts.toStdString());
}

QImage Colourise(const QImage& mask, const std::function<QColor(double x, double y)>& colourAt) {
    QImage out = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const double scale = out.devicePixelRatio();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            const QColor c = colourAt(x / scale, y / scale);
            const int a = alpha * c.alpha() / 255;
            line[x] = qRgba(c.red() * a / 255, c.green() * a / 255, c.blue() * a / 255, a);
        }
    }
    return out;
}

QImage Colourise(const QImage& mask, const QColor& colour) {
    return Colourise(mask, [&colour](double, double) { return colour; });
}

// One box pass over n values spaced stride apart, zero outside.
static void BoxPass(float* data, int n, int stride, int box, std::vector<float>& scratch) {
    scratch.assign(static_cast<size_t>(n), 0.0f);
    float sum = 0;
    for (int i = 0; i < std::min(box, n); ++i) {
        sum += data[i * stride];
    }
    const float norm = 1.0f / static_cast<float>(2 * box + 1);
    for (int i = 0; i < n; ++i) {
        if (i + box < n) {
            sum += data[(i + box) * stride];
        }
        scratch[static_cast<size_t>(i)] = sum * norm;
        if (i - box >= 0) {
            sum -= data[(i - box) * stride];
        }
    }
    for (int i = 0; i < n; ++i) {
        data[i * stride] = scratch[static_cast<size_t>(i)];
    }
}

QImage Blurred(const QImage& img, int logicalRadius) {
    const QImage src = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int radius = logicalRadius * static_cast<int>(std::lround(src.devicePixelRatio()));
    const int w = src.width() + 2 * radius, h = src.height() + 2 * radius;
    std::vector<float> data(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0.0f);
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            float* px = &data[(static_cast<size_t>(y + radius) * static_cast<size_t>(w) + static_cast<size_t>(x + radius)) * 4];
            px[0] = static_cast<float>(qRed(line[x]));
            px[1] = static_cast<float>(qGreen(line[x]));
            px[2] = static_cast<float>(qBlue(line[x]));
            px[3] = static_cast<float>(qAlpha(line[x]));
        }
    }
    // Three box passes come close to a Gaussian reaching out to radius.
    const int box = std::max(1, radius / 3);
    std::vector<float> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int c = 0; c < 4; ++c) {
            for (int y = 0; y < h; ++y) {
                BoxPass(&data[static_cast<size_t>(y) * static_cast<size_t>(w) * 4 + static_cast<size_t>(c)], w, 4, box, scratch);
            }
            for (int x = 0; x < w; ++x) {
                BoxPass(&data[static_cast<size_t>(x) * 4 + static_cast<size_t>(c)], h, w * 4, box, scratch);
            }
        }
    }
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float* px = &data[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4];
            const auto channel = [](float v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
            const int a = channel(px[3]);
            line[x] = qRgba(std::min(channel(px[0]), a), std::min(channel(px[1]), a), std::min(channel(px[2]), a), a);
        }
    }
    out.setDevicePixelRatio(src.devicePixelRatio());
    return out;
}

void DrawGlow(QPainter& p, const QImage& mask, QPoint topLeft, const QColor& colour, int radius, double strength) {
    if (strength <= 0) {
        return;
    }
    const QImage glow = Blurred(Colourise(mask, colour), radius);
    const QPoint at = topLeft - QPoint(radius, radius);
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (double left = strength; left > 0; left -= 1) {
        p.setOpacity(std::min(1.0, left));
        p.drawImage(at, glow);
    }
    p.restore();
}

void DrawCaption(QPainter& p, const Caption& caption, const QRectF& box, const QColor& colour) {
    p.drawImage(PlaceCaption(caption, box).topLeft(), Colourise(caption.ink, colour));
}

QColor PaintButtonFace(QPainter& p, const QRectF& r, double lit) {
    const double radius = std::min(5.0, r.height() / 5.0);
    QPainterPath face;
    face.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, Mix(QColor(kPanelTop), QColor(kAccentLight), lit));
    fill.setColorAt(0.5, Mix(QColor(0x26, 0x26, 0x26), QColor(kAccent), lit));
    fill.setColorAt(1, Mix(QColor(kPanelBottom), QColor(kAccentDeep), lit));
    p.fillPath(face, fill);
    // A faint sheen along the top edge gives the face some body.
    p.setPen(QPen(QColor(255, 255, 255, static_cast<int>(28 + 90 * lit)), 1));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
    p.setPen(QPen(Mix(QColor(0xC8, 0x7A, 0x38), QColor(0xFF, 0xE6, 0xCC), lit), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(face);
    return lit < 0.5 ? Mix(QColor(kAccent), QColor(kPaper), lit * 2) : QColor(kInk);
}

void PaintEye(QPainter& p, QPointF c, double w, const QColor& colour, double stroke) {
    const double h = w * 0.46;
    QPainterPath lids;
    lids.moveTo(c.x() - w / 2, c.y());
    lids.quadTo(c.x(), c.y() - h, c.x() + w / 2, c.y());
    lids.quadTo(c.x(), c.y() + h, c.x() - w / 2, c.y());
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(lids);
    const double iris = h * 0.36;
    p.setPen(QPen(colour, stroke * 1.2));
    p.drawEllipse(c, iris, iris);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, iris * 0.45, iris * 0.45);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(c + QPointF(-iris * 0.3, -iris * 0.3), iris * 0.16, iris * 0.16);
    p.restore();
}

Output::Output(QString imagesDir, QString picturesDir, int scale)
    : imagesDir_(std::move(imagesDir)), picturesDir_(std::move(picturesDir)), scale_(scale) {}

namespace {

// "name.bmp" at scale 2: "name@2x.bmp".
QString ScaledName(const QString& name, int scale) {
    if (scale == 1) return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return name.left(dot) + QStringLiteral("@%1x").arg(scale) + name.mid(dot);
}

}  // namespace

void Output::Image(const QString& name, const QImage& img) {
    Save(imagesDir_, ScaledName(name, scale_), img);
}

void Output::Picture(const QString& name, const QImage& img) {
    Save(picturesDir_, ScaledName(name, scale_), img);
}

void Output::Icon(const QString& name, const QImage& img) {
    Save(picturesDir_, name, img);
}

void Output::Save(const QString& dir, const QString& name, const QImage& img) {
    if (!QDir().mkpath(dir)) {
        throw std::runtime_error("cannot create " + dir.toStdString());
    }
    const QString path = QDir(dir).filePath(name);
    if (img.devicePixelRatio() != scale_) {
        throw std::runtime_error("drawn at another scale than its output: " + path.toStdString());
    }
    const bool jpeg = name.endsWith(QLatin1String(".jpg"));
    const bool png = name.endsWith(QLatin1String(".png"));
    const QImage pixels = img.convertToFormat(png ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (!pixels.save(path, jpeg ? "JPG" : png ? "PNG" : "BMP", jpeg ? 90 : -1)) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
    ++written_;
}

}  // namespace vistorel::skin
