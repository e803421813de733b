#include "history/ReadingMeter.h"

#include <algorithm>

namespace vistorel {

int CountWords(QStringView text) {
    int words = 0;
    bool inWord = false;
    bool hasContent = false;
    for (const QChar c : text) {
        const bool separator = c.isSpace() || c == u'.' || c == u',' || c == u'-';
        if (separator) {
            if (inWord && hasContent) ++words;
            inWord = hasContent = false;
            continue;
        }
        inWord = true;
        hasContent = hasContent || c.isLetterOrNumber();
    }
    return words + (inWord && hasContent ? 1 : 0);
}

void ReadingMeter::Start(std::int64_t nowMs, const QStringList& lines, int line) {
    *this = ReadingMeter();
    lastMs_ = nowMs;
    lastRunning_ = true;
    line_ = line;
    wordsAfter_.assign(static_cast<std::size_t>(lines.size()) + 1, 0);
    for (qsizetype k = lines.size(); k >= 1; --k) {
        wordsAfter_[static_cast<std::size_t>(k - 1)] = wordsAfter_[static_cast<std::size_t>(k)] + CountWords(lines[k - 1]);
    }
    points_.push_back({0, 0});
}

void ReadingMeter::Sample(std::int64_t nowMs, bool running, std::int64_t wordsShown, int line) {
    if (lastRunning_ && nowMs > lastMs_) activeMs_ += nowMs - lastMs_;
    lastMs_ = nowMs;
    lastRunning_ = running;
    words_ = wordsShown;
    const int count = LineCount();
    if (line > line_) {
        linesAdvanced_ += line - line_;
    } else if (line < line_ && count > 0 && count - line_ + line <= 5) {
        linesAdvanced_ += count - line_ + line;  // round the end of the text to its start
    }
    line_ = line;
    if (points_.empty() || points_.back().words != words_ || points_.back().activeMs != activeMs_) {
        points_.push_back({activeMs_, words_});
    }
    // One point at or before the start of the window is all the past needed.
    while (points_.size() > 1 && points_[1].activeMs <= activeMs_ - kWindowMs) points_.pop_front();
}

std::optional<int> ReadingMeter::MeasuredWordsPerMinute() const {
    if (activeMs_ < kFirstSpeedMs || points_.empty()) return std::nullopt;
    const std::int64_t from = std::max<std::int64_t>(0, activeMs_ - kWindowMs);
    // Words shown at the start of the window: the last look at or before it.
    std::int64_t before = points_.front().words;
    for (const Point& p : points_) {
        if (p.activeMs > from) break;
        before = p.words;
    }
    const std::int64_t span = activeMs_ - from;
    return static_cast<int>(((words_ - before) * 60000 + span / 2) / span);
}

int ReadingMeter::AverageWordsPerMinute() const {
    if (activeMs_ <= 0) return 0;
    return static_cast<int>((words_ * 60000 + activeMs_ / 2) / activeMs_);
}

std::optional<int> ReadingMeter::MinutesLeft() const {
    const std::optional<int> speed = MeasuredWordsPerMinute();
    if (!speed || *speed <= 0) return std::nullopt;
    const std::size_t at = static_cast<std::size_t>(std::clamp(line_, 0, LineCount()));
    const std::int64_t left = wordsAfter_[at];
    return static_cast<int>((left + *speed - 1) / *speed);
}

QStringList ReadingMeter::PanelLines() const {
    const std::optional<int> speed = MeasuredWordsPerMinute();
    const int count = LineCount();
    const int line = std::clamp(line_, 0, count);
    const int percent = count > 0 ? static_cast<int>(std::int64_t{line} * 100 / count) : 0;
    const std::optional<int> left = MinutesLeft();
    return {speed ? QStringLiteral("%1 слов/мин").arg(*speed) : QStringLiteral("— слов/мин"),
            QStringLiteral("строка %1 из %2, %3 %").arg(line).arg(count).arg(percent),
            left ? QStringLiteral("осталось %1 мин").arg(*left) : QStringLiteral("осталось — мин")};
}

}  // namespace vistorel
