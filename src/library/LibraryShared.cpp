#include "library/LibraryShared.h"

#include "app/Program.h"
#include "platform/Label.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace vistorel {

void ChangeTextLibrary(Program& program, const std::function<void()>& change) {
    const TextTable slots = program.TextLibrary;
    const std::uint8_t count = program.TextCount;
    const std::uint16_t current = program.CurrentTextIndex;
    try {
        change();
        program.SaveTextLibrary();
    } catch (...) {
        program.TextLibrary = slots;
        program.TextCount = count;
        program.CurrentTextIndex = current;
        throw;
    }
}

bool FollowDeletion(std::uint16_t& slot, int deleted) {
    if (slot == 0 || slot < deleted) return false;
    slot = slot == deleted ? 0 : static_cast<std::uint16_t>(slot - 1);
    return true;
}

int CurrentLibrarySlot(const Program& program) {
    const int slot = program.CurrentTextIndex;
    return slot <= program.TextCount ? slot : 0;
}

Font LibraryFont(bool bold) {
    Font font;
    font.SetSize(8);
    font.Bold = bold;
    font.Color = clAccent;
    return font;
}

void StyleLibraryControl(QWidget& control) {
    const QString accent = ToQColor(clAccent).name();
    const QString dim = ToQColor(clAccent).darker(200).name();
    control.setFont(LibraryFont().ToQFont());
    control.setStyleSheet(QStringLiteral(
        "QListWidget, QLineEdit, QPlainTextEdit { background-color: black; color: %1; border: 1px solid %2;"
        " selection-background-color: %1; selection-color: black; }"
        "QListWidget::item:selected { background-color: %1; color: black; }"
        "QScrollBar { background: black; border: none; width: 11px; height: 11px; }"
        "QScrollBar::handle { background: %2; min-height: 16px; min-width: 16px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: black; }"
        "QToolButton { background: black; border: 1px solid %2; border-radius: 3px; }"
        "QToolButton:hover { border-color: %1; }"
        "QCheckBox, QLabel { color: %1; background: transparent; }"
        "QCheckBox { spacing: 6px; }"
        "QCheckBox::indicator { width: 9px; height: 9px; background: black; border: 1px solid %2; }"
        "QCheckBox::indicator:hover { border-color: %1; }"
        "QCheckBox::indicator:checked { background: %1; }")
                               .arg(accent, dim));
}

void ShowTitle(Label& label, const QString& title, int left, int clientWidth) {
    constexpr int kMargin = 8;
    const QFontMetrics metrics(label.Font().ToQFont());
    const int room = clientWidth - 2 * kMargin;
    QString shown = title;
    if (metrics.horizontalAdvance(shown) > room) shown = metrics.elidedText(title, Qt::ElideRight, room);
    label.SetCaption(shown);
    label.SetLeft(std::max(kMargin, std::min(left, clientWidth - kMargin - label.Width())));
}

}  // namespace vistorel
