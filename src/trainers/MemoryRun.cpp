#include "trainers/MemoryRun.h"

#include "platform/Random.h"

namespace vistorel {

void MemoryRun::Start(Random& random) {
    for (int& ring : rings_) ring = random.Next(7) + 1;
    showTicks_ = 0;
    started_ = true;
}

bool MemoryRun::Tick() {
    if (!RingsShown()) return false;
    return ++showTicks_ == kMemoryShowTicks;
}

int MemoryRun::Score(const QStringList& answers) const {
    int score = 0;
    for (int i = 1; i <= kMemoryRings && i <= answers.size(); ++i) {
        if (LeadingNumber(answers[i - 1]) == ShownRing(i)) score += 8;
    }
    return score;
}

std::int64_t LeadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 40;  // far above any ring number
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (value < kLimit) value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    return negative ? -value : value;
}

QString IsrLine(int score) { return QStringLiteral("ISR = %1 bps").arg(QString::number(score / 7.0, 'f', 2)); }

}  // namespace vistorel
