#pragma once

#include "engine/StageClock.h"
#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"

#include <QSize>
#include <QString>

namespace vistorel {

class Program;

// The exercise display window: one label whose text and place change at every
// step of the step timer, fixation marks drawn on the surface, and the stage
// timer that moves the exercise through its five stages.
class TForm4 : public Form {
public:
    explicit TForm4(Program& program);

    void FormShow() override;
    void FormPaint() override;
    void FormKeyPress(QChar key) override;
    void FormClose() override;

    void Timer1Timer();  // one step of the current mode
    void Timer2Timer();  // one second of the stage clock

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

    Label Label2;
    Timer Timer1;  // step timer
    Timer Timer2;  // stage timer

private:
    void ModeFourStep();
    void SetMarks(int left, int length, int divisor, int count);

    Program& program;
    Bitmap picture_;          // the chosen background picture, when in use
    QImage scaledPicture_;    // the picture scaled to the window, cached
    QString reportedPicture_;  // a picture that failed to load is reported once
};

}  // namespace vistorel
