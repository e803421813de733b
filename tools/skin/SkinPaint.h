#pragma once
// Drawing helpers shared by the image generator: the palette, captions that
// are measured by their actual ink, soft glows, button faces and the output
// folder that writes the finished files.
//
// Every picture is drawn twice: at its size, and with twice as many pixels
// each way for screens scaled by 2 ("name@2x.bmp"). Drawing code works in the
// picture's own (logical) pixels throughout; the images it draws on carry the
// scale as their device pixel ratio, and the helpers that touch single pixels
// take it from there.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace vistorel::skin {

// The palette: black windows, dark grey panels and one orange accent.
inline constexpr QRgb kAccent = 0xFFFFA14D;
inline constexpr QRgb kAccentLight = 0xFFFFC894;
inline constexpr QRgb kAccentDeep = 0xFFE07E2A;
inline constexpr QRgb kAccentDim = 0xFF9A5E2A;
inline constexpr QRgb kInk = 0xFF1A1108;   // dark text on lit faces
inline constexpr QRgb kPaper = 0xFFF2EEE9; // light text on black
inline constexpr QRgb kMuted = 0xFFA8A39E; // secondary text
inline constexpr QRgb kPanelTop = 0xFF333333;
inline constexpr QRgb kPanelBottom = 0xFF181818;

// Mixes a and b: t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor& a, const QColor& b, double t);

QFont SkinFont(int pixelSize, bool bold, bool condensed = false, double letterSpacing = 0);

// A caption rendered white on transparent and cropped to its ink. Lines are
// centred on each other; the visual band (cap top of the first line down to
// the baseline of the last) is what gets centred vertically, so captions with
// and without descenders share a baseline.
struct Caption {
    QImage ink;        // premultiplied ARGB, white with antialiased alpha, at the drawing's scale
    QPoint inkOrigin;  // where the ink sat on the layout canvas (logical pixels)
    double bandTop = 0, bandBottom = 0, centreX = 0;
};

// At a scale above 1 the ink is cut where it is at scale 1, so that the
// caption stands where it stands in the picture at its size.
Caption MakeCaption(const QString& text, const QFont& font, int scale = 1);

// Where the caption's ink lands when centred in box (whole pixels, so the
// hinted glyphs stay crisp).
QRect PlaceCaption(const Caption& caption, const QRectF& box);

// One caption that has to fit: centred in box, its ink inside room.
struct Fit {
    QString text;
    QRectF box;
    QRect room;
};

// The largest font, from pixelSize down to minPixelSize (plain width first,
// then condensed), with which every caption's ink lies inside its room. A
// group of buttons shares one font this way. Throws when even the smallest
// does not fit: a caption that spills is a build error. Fitted at scale 1, so
// that both scales of a picture take the same font.
QFont FitFont(const std::vector<Fit>& fits, int pixelSize, int minPixelSize, bool bold = true,
              double letterSpacing = 0);

// The mask coloured per pixel (keeping its alpha); colourAt gets the pixel's
// place in logical pixels.
QImage Colourise(const QImage& mask, const std::function<QColor(double x, double y)>& colourAt);
QImage Colourise(const QImage& mask, const QColor& colour);

// A soft copy of img (premultiplied ARGB), grown by radius (logical pixels) on every side.
QImage Blurred(const QImage& img, int radius);

// Draws a glow of the mask's shape around topLeft: a blurred copy in colour,
// added strength times (fractions allowed).
void DrawGlow(QPainter& p, const QImage& mask, QPoint topLeft, const QColor& colour, int radius, double strength);

// Draws the caption centred in box, with its ink in colour.
void DrawCaption(QPainter& p, const Caption& caption, const QRectF& box, const QColor& colour);

// A button face filling r: lit = 0 is the calm dark face with an orange rim,
// lit = 1 the fully lit orange face. Returns the colour for the face's caption.
QColor PaintButtonFace(QPainter& p, const QRectF& r, double lit);

// The stylised eye of the product mark, centred at c, width w.
void PaintEye(QPainter& p, QPointF c, double w, const QColor& colour, double stroke);

// A painter with antialiasing for shapes and text.
void Prepare(QPainter& p);

// A black picture of w x h logical pixels at the scale.
QImage BlackImage(int w, int h, int scale);
// A clear (transparent) one, for layers.
QImage ClearImage(int w, int h, int scale);
// The scale of the image a painter draws on.
int ScaleOf(const QPainter& p);
// An image's size in logical pixels.
QSize LogicalSize(const QImage& img);

// The two output folders at one scale; writes 24-bit BMP and JPEG, and PNG
// with transparency for the icons, and throws on failure. At scale 2 the
// names get "@2x" before their extension.
class Output {
public:
    Output(QString imagesDir, QString picturesDir, int scale = 1);
    int Scale() const { return scale_; }
    void Image(const QString& name, const QImage& img);
    void Picture(const QString& name, const QImage& img);
    // An icon goes beside the pictures.
    void Icon(const QString& name, const QImage& img);
    int Written() const { return written_; }

private:
    void Save(const QString& dir, const QString& name, const QImage& img);
    QString imagesDir_, picturesDir_;
    int scale_ = 1;
    int written_ = 0;
};

// The image sets, one function per window.
void MakeButtons(Output& out);
void MakeStartButton(Output& out);
void MakeBackgrounds(Output& out);
void MakeControlPanel(Output& out);
void MakeTitles(Output& out);
void MakeLogo(Output& out);
void MakeAboutPicture(Output& out);
void MakeLegend(Output& out);
void MakeRings(Output& out);
void MakeIcons(Output& out);

}  // namespace vistorel::skin
