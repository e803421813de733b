#pragma once
// Measures a reading exercise while it runs: the time its steps ran (pauses
// left out), the words it showed, the lines it moved on, the speed actually
// reached over the last minute of that time, and how much of the text is left.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vistorel {

// The words of a piece of text: runs of characters between spaces, full
// stops, commas and hyphens that hold a letter or a digit.
int CountWords(QStringView text);

class ReadingMeter {
public:
    // The speed is measured over this much of the running time.
    static constexpr std::int64_t kWindowMs = 60000;
    // Below this much running time there is no speed to tell yet.
    static constexpr std::int64_t kFirstSpeedMs = 3000;

    // A new exercise over these lines, starting at `line` (1-based; 0 before the first).
    void Start(std::int64_t nowMs, const QStringList& lines, int line);
    // A look at the running exercise: whether its steps run, the words shown
    // since the start and the current line. The time since the previous look
    // counts as running when the steps ran at that look.
    void Sample(std::int64_t nowMs, bool running, std::int64_t wordsShown, int line);

    std::int64_t ActiveMs() const { return activeMs_; }
    std::int64_t WordsShown() const { return words_; }
    std::int64_t LinesAdvanced() const { return linesAdvanced_; }
    int Line() const { return line_; }
    int LineCount() const { return static_cast<int>(wordsAfter_.size()) - 1; }

    // Words per minute over the last kWindowMs of running time (all of it
    // when shorter); none before kFirstSpeedMs.
    std::optional<int> MeasuredWordsPerMinute() const;
    // Words per minute over the whole running time; 0 without any.
    int AverageWordsPerMinute() const;
    // Minutes to the end of the text at the measured speed.
    std::optional<int> MinutesLeft() const;

    // "312 слов/мин", "строка 120 из 1450, 8 %", "осталось 12 мин".
    QStringList PanelLines() const;

private:
    struct Point {
        std::int64_t activeMs;
        std::int64_t words;
    };
    std::int64_t lastMs_ = 0;
    bool lastRunning_ = false;
    std::int64_t activeMs_ = 0;
    std::int64_t words_ = 0;
    std::int64_t linesAdvanced_ = 0;
    int line_ = 0;
    std::deque<Point> points_;
    std::vector<std::int64_t> wordsAfter_{0};  // entry k: words on lines after line k
};

}  // namespace vistorel
