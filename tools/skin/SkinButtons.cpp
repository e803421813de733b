// Push buttons: each comes as name.bmp (calm) and name1.bmp (under the
// pointer), plus the animated "Начать" button of the welcome window.

#include "SkinPaint.h"

#include <QPainterPath>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace vistorel::skin {
namespace {

enum class Glyph { None, Left, Right };

struct Button {
    const char* name;
    int width, height;
    const char* caption;  // UTF-8; '\n' breaks the line
    const char* group;    // buttons shown together share one caption font
    int pixelSize;
    Glyph glyph = Glyph::None;
};

constexpr Button kButtons[] = {
    // Main window control panel.
    {"begin", 84, 30, "Старт", "main", 12},
    {"options", 80, 30, "Настройки", "main", 12},
    {"exit", 83, 30, "Выход", "main", 12},
    {"about", 78, 30, "О программе", "main", 12},
    {"select", 86, 30, "Тексты", "main", 12},
    {"pause", 55, 20, "Пауза", "run", 11},
    {"next", 55, 20, "Дальше", "run", 11},
    {"quit", 55, 20, "Стоп", "run", 11},
    {"bookmark", 54, 32, "Закладка", "mark", 11},
    {"jump", 50, 32, "К\nзакладке", "mark", 11},
    {"left", 25, 25, "", "", 0, Glyph::Left},
    {"right", 20, 25, "", "", 0, Glyph::Right},
    // Preferences and the text manager.
    {"accept", 56, 26, "Принять", "dialog", 12},
    {"cancel", 56, 26, "Отмена", "dialog", 12},
    {"add", 60, 22, "Добавить", "list", 11},
    {"edit", 60, 22, "Изменить", "list", 11},
    {"delete", 66, 22, "Удалить", "list", 11},
    // Tests.
    {"test", 60, 30, "Старт", "test", 12},
    {"stop", 70, 30, "Стоп", "test", 12},
};

constexpr int kMargin = 3;  // the rim plus two clear pixels around every caption
constexpr int kMinPixelSize = 9;

Fit FitFor(const Button& b) {
    const QRect whole(0, 0, b.width, b.height);
    return {QString::fromUtf8(b.caption), QRectF(whole), whole.adjusted(kMargin, kMargin, -kMargin, -kMargin)};
}

void PaintArrow(QPainter& p, const QRectF& r, Glyph glyph, const QColor& colour) {
    const double w = std::round(r.width() * 0.36), h = std::round(r.height() * 0.5);
    const QPointF c = r.center();
    const double dir = glyph == Glyph::Left ? -1 : 1;
    QPainterPath arrow;
    arrow.moveTo(c.x() + dir * w / 2, c.y());
    arrow.lineTo(c.x() - dir * w / 2, c.y() - h / 2);
    arrow.lineTo(c.x() - dir * w / 2, c.y() + h / 2);
    arrow.closeSubpath();
    p.save();
    p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(arrow);
    p.restore();
}

QImage PaintButton(const Button& b, const QFont& font, double lit, int scale) {
    QImage img = BlackImage(b.width, b.height, scale);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, b.width, b.height);
    const QColor ink = PaintButtonFace(p, r, lit);
    if (b.glyph != Glyph::None) {
        PaintArrow(p, r, b.glyph, ink);
    } else {
        DrawCaption(p, MakeCaption(QString::fromUtf8(b.caption), font, scale), r, ink);
    }
    return img;
}

}  // namespace

void MakeButtons(Output& out) {
    std::map<std::string, std::vector<Fit>> groups;
    std::map<std::string, int> sizes;
    for (const Button& b : kButtons) {
        if (b.glyph == Glyph::None) {
            groups[b.group].push_back(FitFor(b));
            sizes[b.group] = b.pixelSize;
        }
    }
    std::map<std::string, QFont> fonts;
    for (const auto& [group, fits] : groups) {
        fonts[group] = FitFont(fits, sizes[group], kMinPixelSize);
    }
    for (const Button& b : kButtons) {
        const QFont font = b.glyph == Glyph::None ? fonts[b.group] : QFont();
        const QString name = QString::fromLatin1(b.name);
        out.Image(name + QStringLiteral(".bmp"), PaintButton(b, font, 0, out.Scale()));
        out.Image(name + QStringLiteral("1.bmp"), PaintButton(b, font, 1, out.Scale()));
    }
}

void MakeStartButton(Output& out) {
    constexpr int kFrames = 13, kWidth = 100, kHeight = 34, kGlow = 4;
    const QRectF face(kGlow, kGlow, kWidth - 2 * kGlow, kHeight - 2 * kGlow);
    const QString caption = QStringLiteral("Начать");
    const QFont font = FitFont({{caption, face, face.toRect().adjusted(kMargin, kMargin, -kMargin, -kMargin)}}, 15,
                               kMinPixelSize);
    const int scale = out.Scale();
    const Caption text = MakeCaption(caption, font, scale);

    // The face's outline as a mask, for the glow that grows around it.
    QImage shape = ClearImage(kWidth, kHeight, scale);
    {
        QPainter p(&shape);
        Prepare(p);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(face, 5, 5);
    }

    for (int frame = 1; frame <= kFrames; ++frame) {
        const double t = (frame - 1) / double(kFrames - 1);
        QImage img = BlackImage(kWidth, kHeight, scale);
        QPainter p(&img);
        Prepare(p);
        DrawGlow(p, shape, QPoint(0, 0), QColor(kAccent), kGlow, 3.0 * t);
        // The rim, the glow and the caption brighten first and the face fills
        // with light late, handing over to a dark caption once it is bright.
        PaintButtonFace(p, face, t * t);
        const QColor ink = t < 0.75 ? Mix(QColor(kAccent), QColor(kPaper), t / 0.75) : QColor(kInk);
        if (t < 0.75) {
            const QRect at = PlaceCaption(text, face);
            DrawGlow(p, text.ink, at.topLeft(), QColor(kAccent), 3, 0.8 * t);
        }
        DrawCaption(p, text, face, ink);
        p.end();
        out.Image(QStringLiteral("start%1.bmp").arg(frame, 2, 10, QLatin1Char('0')), img);
    }
}

}  // namespace vistorel::skin
