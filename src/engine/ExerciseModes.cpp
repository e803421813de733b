// The five ways the exercise window shows the text: single centred words,
// word pairs, a word sweeping across, lines with fixation marks, and words at
// random places. Text widths are estimated as characters times point size.

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/ReadingMeter.h"

#include <algorithm>
#include <cstdint>

namespace vistorel {
namespace {

// Placements are computed in 64 bits (a line of millions of characters times
// the point size does not fit an int) and kept within what widgets take; a
// label that far out is off the window either way.
int Coordinate(qint64 value) { return static_cast<int>(std::clamp<qint64>(value, -1000000, 1000000)); }

}  // namespace

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
    const int left = CentredLeft(n, 3);
    wordLabel.SetLeft(left);
    wordLabel.SetTop(Height() / 2);
    ShowText(line);
    if (n > 40) SetMarks(left, n, 5, 3);
    if (n < 40) SetMarks(left, n, 3, 2);
    // A line of exactly 40 characters keeps the marks of the line before.
    if (text.LineCount == 0) return;
    text.CurrentLine = static_cast<std::uint16_t>(text.CurrentLine + 1);
    if (text.CurrentLine > text.LineCount) text.CurrentLine = 1;
}

void ExerciseWindow::ShowSmartLine() {
    ClearWindow();
    const QString line = program.Words.BuildSmartLine(program.TextLineBuffer);
    const qsizetype n = line.size();
    const int left = Coordinate(qint64{Width()} / 2 - (qint64{n} * wordLabel.Font().Size() / 4 + 14));
    wordLabel.SetLeft(left);
    ShowText(line);
    SetMarks(left, n, 7, 3);
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
        if (program.SettingsRecord.SmartDivider) {
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
