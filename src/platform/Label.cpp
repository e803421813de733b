#include "platform/Label.h"

#include "platform/Form.h"

#include <QLabel>

namespace vistorel {

Label::Label(Form& owner, int left, int top, const QString& caption, const vistorel::Font& font)
    : label_(std::make_unique<QLabel>(owner.Surface())), caption_(caption), font_(font) {
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setTextFormat(Qt::PlainText);
    label_->move(left, top);
    label_->setText(caption);
    SetFont(font);
    label_->show();
}

Label::~Label() = default;

void Label::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    label_->setText(caption);
    Fit();
}

int Label::Left() const { return label_->x(); }
int Label::Top() const { return label_->y(); }
void Label::SetLeft(int left) { label_->move(left, label_->y()); }
void Label::SetTop(int top) { label_->move(label_->x(), top); }
int Label::Width() const { return label_->width(); }
int Label::Height() const { return label_->height(); }

void Label::SetFont(const vistorel::Font& font) {
    font_ = font;
    label_->setFont(font.ToQFont());
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font.Color));
    label_->setPalette(palette);
    Fit();
}

void Label::SetFontColor(TColor color) {
    vistorel::Font font = font_;
    font.Color = color;
    SetFont(font);
}

void Label::SetFontSize(int points) {
    vistorel::Font font = font_;
    font.SetSize(points);
    SetFont(font);
}

void Label::SetBackground(TColor color) {
    QPalette palette = label_->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    label_->setPalette(palette);
    label_->setAutoFillBackground(true);
}

void Label::Fit() { label_->resize(label_->sizeHint()); }

}  // namespace vistorel
