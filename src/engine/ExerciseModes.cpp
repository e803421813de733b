// The five ways the exercise window shows the text: single centred words,
// word pairs, a word sweeping across, lines with fixation marks, and words at
// random places. Text widths are estimated as characters times point size;
// only where that would cut a line of the line stage off is it measured: a
// line that fits the window is moved inside it, a wider one is shown in
// window-wide pieces.

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/ReadingMeter.h"

#include <QLabel>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace vistorel {
namespace {

// Placements are computed in 64 bits (a line of millions of characters times
// the point size does not fit an int) and kept within what widgets take; a
// label that far out is off the window either way.
int Coordinate(qint64 value) { return static_cast<int>(std::clamp<qint64>(value, -1000000, 1000000)); }

// Room kept free at either side of a piece.
constexpr int kPieceMargin = 8;

}  // namespace

TextPiece NextPiece(const QString& text, qsizetype from, const QFontMetrics& metrics, int width) {
    const qsizetype size = text.size();
    qsizetype start = from;
    while (start < size && text[start] == u' ') ++start;
    // No piece holds more characters than it has pixels: a word is never
    // scanned further than that.
    const qsizetype cap = std::min(size, start + std::max(width, 1) + 1);
    qsizetype end = start;
    qsizetype scan = start;
    while (scan < cap) {
        qsizetype wordEnd = scan;
        while (wordEnd < cap && text[wordEnd] != u' ') ++wordEnd;
        if (wordEnd == cap && cap < size && text[cap] != u' ') break;
        if (metrics.horizontalAdvance(text.mid(start, wordEnd - start)) > width) break;
        end = wordEnd;
        scan = wordEnd;
        while (scan < size && text[scan] == u' ') ++scan;
    }
    if (end == start) {
        // A word wider than the window is cut between letters.
        int used = 0;
        while (end < size && text[end] != u' ') {
            const qsizetype letter = text[end].isHighSurrogate() && end + 1 < size ? 2 : 1;
            const int advance = metrics.horizontalAdvance(text.mid(end, letter));
            if (end > start && used + advance > width) break;
            used += advance;
            end += letter;
        }
    }
    return {start, end};
}

std::optional<int> ExerciseWindow::FitOnWindow(const QString& line, int left, int top) {
    const QFontMetrics metrics(wordLabel.Widget()->font());
    // A line longer than any window can show is not measured whole.
    if (line.size() <= kMaxShownCharacters) {
        // Spaces at the end show nothing.
        qsizetype shown = line.size();
        while (shown > 0 && line[shown - 1] == u' ') --shown;
        const int width = metrics.horizontalAdvance(line.left(shown));
        if (left >= 0 && left + width <= ClientWidth()) return left;
        // As wide as the window at most: moved just as far as it must.
        if (width <= ClientWidth()) return std::clamp(left, 0, ClientWidth() - width);
    }
    pieceLine_ = line;
    pieceOffset_ = 0;
    piecesTop_ = top;
    ShowNextPiece();
    return std::nullopt;
}

void ExerciseWindow::ShowNextPiece() {
    const QFontMetrics metrics(wordLabel.Widget()->font());
    const TextPiece next = NextPiece(pieceLine_, pieceOffset_, metrics, std::max(1, ClientWidth() - 2 * kPieceMargin));
    const QString piece = pieceLine_.mid(next.Start, next.End - next.Start);
    const int width = metrics.horizontalAdvance(piece);
    const int left = std::max(0, (ClientWidth() - width) / 2);
    wordLabel.SetLeft(left);
    wordLabel.SetTop(piecesTop_);
    ShowText(piece);
    // Marks spread evenly along the piece as it stands on the window: two
    // for a short piece, three for a longer one.
    const int count = piece.size() > 40 ? 3 : 2;
    program.Exercise.MarkCount = static_cast<std::uint16_t>(count);
    for (int k = 1; k <= count; ++k) {
        program.Exercise.MarkX[k] = static_cast<std::int16_t>(std::min(left + k * width / (count + 1) + 30, INT16_MAX + 0));
    }
    // Only spaces after it: the line is done.
    pieceOffset_ = next.End;
    while (pieceOffset_ < pieceLine_.size() && pieceLine_[pieceOffset_] == u' ') ++pieceOffset_;
    if (pieceOffset_ >= pieceLine_.size()) pieceLine_.clear();
}

int ExerciseWindow::CentredLeft(qsizetype characters, int divisor) const {
    return Coordinate(qint64{Width()} / 2 - qint64{characters} * wordLabel.Font().Size() / divisor);
}

void ExerciseWindow::ShowText(const QString& text) {
    // A label measures all of its text: more than a window can show would
    // only cost time (a word of a megabyte took most of a second a step).
    const QString shown = text.size() > kMaxShownCharacters ? text.left(kMaxShownCharacters) : text;
    wordLabel.SetCaption(shown);
    ShownWords += CountWords(shown);
}

void ExerciseWindow::ShowSingleWord() {
    const QString word = program.Words.NextWord(program.TextLineBuffer);
    if (program.Exercise.ExerciseMode == 1) {
        wordLabel.SetLeft(CentredLeft(word.size(), 2));
        wordLabel.SetTop(Height() / 2 - 40);
    }
    ShowText(word);
}

void ExerciseWindow::ShowWordPair() {
    const QString first = program.Words.NextWord(program.TextLineBuffer);
    const QString second = program.Words.NextWord(program.TextLineBuffer);
    const QString pair = first + QStringLiteral("     ") + second;
    wordLabel.SetLeft(CentredLeft(pair.size(), 3));
    wordLabel.SetTop(Height() / 2 - 40);
    ShowText(pair);
}

void ExerciseWindow::StepSweep() {
    std::uint16_t& sweep = program.Exercise.SweepX;
    sweep = static_cast<std::uint16_t>(sweep + 40);
    if (sweep > Width() - 180) sweep = 10;
    wordLabel.SetLeft(sweep);
}

void ExerciseWindow::SetMarks(int left, qsizetype length, int divisor, int count) {
    const qint64 step = qint64{length} * wordLabel.Font().Size() / divisor;
    program.Exercise.MarkCount = static_cast<std::uint16_t>(count);
    for (int k = 1; k <= count; ++k) {
        program.Exercise.MarkX[k] = static_cast<std::int16_t>(std::clamp<qint64>(left + k * step, INT16_MIN, INT16_MAX));
    }
}

void ExerciseWindow::ShowLineWithMarks() {
    ClearWindow();
    TextLines& text = program.TextLineBuffer;
    // A position outside the text (none read yet, or a bookmark of a longer
    // text) shows the first line.
    if (text.CurrentLine < 1 || text.CurrentLine > text.LineCount) text.CurrentLine = text.LineCount > 0 ? 1 : 0;
    const QString line = text.Line(text.CurrentLine);
    const qsizetype n = line.size();
    if (const std::optional<int> left = FitOnWindow(line, CentredLeft(n, 3), Height() / 2)) {
        wordLabel.SetLeft(*left);
        wordLabel.SetTop(Height() / 2);
        ShowText(line);
        if (n > 40) SetMarks(*left, n, 5, 3);
        if (n < 40) SetMarks(*left, n, 3, 2);
        // A line of exactly 40 characters keeps the marks of the line before.
    }
    if (text.LineCount == 0) return;
    // The reading position moves on with the line's first piece, as with a
    // whole line: bookmarks and the word stages go by the text's lines.
    text.CurrentLine = static_cast<std::uint16_t>(text.CurrentLine + 1);
    if (text.CurrentLine > text.LineCount) text.CurrentLine = 1;
    piecesLine_ = text.CurrentLine;
}

void ExerciseWindow::ShowSmartLine() {
    ClearWindow();
    const QString line = program.Words.BuildSmartLine(program.TextLineBuffer);
    const qsizetype n = line.size();
    piecesLine_ = program.TextLineBuffer.CurrentLine;
    const std::optional<int> left =
        FitOnWindow(line, Coordinate(qint64{Width()} / 2 - (qint64{n} * wordLabel.Font().Size() / 4 + 14)), wordLabel.Top());
    if (!left) return;
    wordLabel.SetLeft(*left);
    ShowText(line);
    SetMarks(*left, n, 7, 3);
}

void ExerciseWindow::DrawMark() {
    const int step = std::clamp(program.Exercise.MarkStep, 1, 3);
    const int x = program.Exercise.MarkX[static_cast<std::size_t>(step)] - 30;
    Canvas.Pen.Color = clBlack;
    Canvas.MoveTo(x, 0);
    Canvas.LineTo(x, Height());
    marks_.emplace_back(x, 0, 1, Height());
}

void ExerciseWindow::ModeFourStep() {
    ExerciseState& state = program.Exercise;
    if (state.MarkStep > 2 && state.MarkCount == 2) state.MarkStep = 1;
    if (state.MarkStep > 3) state.MarkStep = 1;
    if (state.MarkStep == 1) {
        // The rest of a wide line comes first, unless the reading position
        // was moved meanwhile (a jump to a bookmark).
        if (!pieceLine_.isEmpty() && piecesLine_ == program.TextLineBuffer.CurrentLine) {
            ClearWindow();
            ShowNextPiece();
        } else if (program.SettingsRecord.SmartDivider) {
            ShowSmartLine();
        } else {
            ShowLineWithMarks();
        }
    }
    DrawMark();
    ++state.MarkStep;
}

void ExerciseWindow::PlaceRandomly() {
    ClearWindow();
    // A window too small for the random range puts the word at its corner.
    const int x = Width() > 200 ? App().Random().Next(Width() - 200) : 0;
    const int y = Height() > 100 ? App().Random().Next(Height() - 100) : 0;
    wordLabel.SetTop(y);
    wordLabel.SetLeft(x);
}

}  // namespace vistorel
