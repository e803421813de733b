#pragma once
// A text label over a window's surface: transparent unless given a background
// colour, sized to its text, moved by its top-left corner.

#include "platform/Colour.h"
#include "platform/Font.h"

#include <QString>
#include <memory>

class QLabel;

namespace vistorel {

class Form;

class Label {
public:
    Label(Form& owner, int left, int top, const QString& caption, const vistorel::Font& font = {});
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);
    int Width() const;
    int Height() const;

    const vistorel::Font& Font() const { return font_; }
    void SetFont(const vistorel::Font& font);
    void SetFontColor(TColor color);
    void SetFontSize(int points);
    // An opaque background of this colour behind the text.
    void SetBackground(TColor color);

    QLabel* Widget() const { return label_.get(); }

private:
    void Fit();

    std::unique_ptr<QLabel> label_;
    QString caption_;
    vistorel::Font font_;
};

}  // namespace vistorel
