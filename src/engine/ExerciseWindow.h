#pragma once

#include "engine/StageClock.h"
#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"

#include <QFontMetrics>
#include <QSize>
#include <QString>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

namespace vistorel {

class Program;

// The exercise display window: one label whose text and place change at every
// step of the step timer, fixation marks drawn on the surface, and the stage
// timer that moves the exercise through its five stages.
class ExerciseWindow : public Form {
public:
    explicit ExerciseWindow(Program& program);

    void FormShow() override;
    void FormPaint() override;
    // The exercise keys of the main window work here too; Space stays this window's own.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    void FormKeyPress(QChar key) override;
    void FormClose() override;
    // Where it was designed to stand, unless that is far from the panel of
    // the window that starts the exercise (a large screen): then just above it.
    QPoint FirstPosition(const Form* opener) const override;

    void OnStepTick();  // one step of the current mode
    void OnStageTick();  // one second of the stage clock

    // Switches both timers off: the exercise pauses where it is.
    void StopTimers();
    // Applies a stage change to the step and stage timers.
    void ApplyStageChange(const StageChange& change);
    // Sets up what clearing the window paints: the chosen picture, or the
    // background colour (also when the picture cannot be loaded).
    void PrepareBackground();

    // The modes.
    void ShowSingleWord();
    void ShowWordPair();
    void StepSweep();
    void ShowLineWithMarks();
    void ShowSmartLine();
    void DrawMark();
    void PlaceRandomly();
    void ClearWindow();

    // Words put on the label since the program started: the measure of
    // what the user was shown.
    std::int64_t ShownWords = 0;

    Label wordLabel;
    Timer stepTimer;  // step timer
    Timer stageTimer;  // stage timer

    // The label shows at most this many characters of a text: more than any
    // window can show.
    static constexpr qsizetype kMaxShownCharacters = 4096;

private:
    void ModeFourStep();
    void SetMarks(int left, qsizetype length, int divisor, int count);
    // Left edge of a text of this many characters centred by the estimate
    // characters x point size / divisor.
    int CentredLeft(qsizetype characters, int divisor) const;
    void ShowText(const QString& text);

    // Where a line placed at `left` goes so that nothing of it is cut off:
    // there when it fits, else moved inside the window. A line wider than the
    // window is shown in window-wide pieces, one after the other, each with
    // its marks; its first piece is then on show and the result empty.
    std::optional<int> FitOnWindow(const QString& line, int left, int top);
    void ShowNextPiece();

    // Puts the background (picture or colour) back on one area of the surface.
    void RestoreBackground(const QRect& area);

    Program& program;
    // Clearing repaints the whole surface only when needed: after a full
    // clear the surface is plain background except for the marks drawn since.
    bool cleared_ = false;
    QSize clearedSize_;
    std::vector<QRect> marks_;
    Bitmap picture_;          // the chosen background picture, when in use
    QImage scaledPicture_;    // the picture scaled to the window, cached
    QString reportedPicture_;  // a picture that failed to load is reported once
    QString pieceLine_;         // a wide line whose pieces are under way
    qsizetype pieceOffset_ = 0;  // where its next piece starts
    int piecesTop_ = 0;
    std::uint16_t piecesLine_ = 0;  // the reading position while they are shown
};

// The piece of text that starts at `from` (spaces skipped) and ends at a
// space, as wide as fits in `width` pixels in the font of `metrics`; a word
// wider than that is cut between letters. Start == End at the end of the text.
struct TextPiece {
    qsizetype Start = 0;
    qsizetype End = 0;
};
TextPiece NextPiece(const QString& text, qsizetype from, const QFontMetrics& metrics, int width);

}  // namespace vistorel
