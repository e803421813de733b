#pragma once

#include "platform/BackgroundWork.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/Timer.h"
#include "trainers/TestButtons.h"
#include "trainers/TestClock.h"

#include <cstdint>

class QPlainTextEdit;

namespace vistorel {

class Program;
struct TextHead;

// The reading speed test: the user reads the beginning of the current text
// while a clock runs; stop shows the speed in words per minute. The window
// also keeps the start and stop pictures and hover flags that the IPS test
// and the memory test draw with.
class ReadingSpeedTestWindow : public Form {
public:
    explicit ReadingSpeedTestWindow(Program& program);

    void FormCreate() override;
    void FormShow() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // Loads the beginning of the current text and starts the clock; nothing
    // while the clock runs.
    void StartTest();
    // Stops the clock and shows the speed; nothing while it is stopped.
    void StopTest();
    void OnClockTick();
    bool Running() const { return clockTimer.Enabled(); }

    TestButtonSet& TestButtons() { return testButtons_; }
    const TestButtonRow& Buttons() const { return buttons_; }

    Timer clockTimer;
    Label clockLabel;
    Label statusLabel;
    QPlainTextEdit* textView;
    Stopwatch stopwatch;
    // Reads the beginning of the text off the GUI thread.
    BackgroundWork textLoad;

    // The characters loaded by the last start.
    std::int64_t ReadChars = 0;
    // The text of the last start, as the results name it.
    QString ReadPath;
    QString ReadTitle;

private:
    void ShowClock(const QString& caption);
    void ShowStatus(const QString& text);
    // The test on the beginning just read.
    void BeginTest(const QString& path, const QString& textPath, const TextHead& head);

    Program& program;
    TestButtonSet testButtons_;
    TestButtonRow buttons_;
    TenthsCounter clock_;
};

}  // namespace vistorel
