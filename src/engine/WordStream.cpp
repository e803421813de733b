#include "engine/WordStream.h"

#include <algorithm>
#include <utility>

namespace vistorel {
namespace {

constexpr qsizetype kSmartLineMinimum = 64;  // a smart line is longer than this

bool IsSeparator(QChar c) {
    return c == u' ' || c == u'.' || c == u',' || c == u'-';
}

}  // namespace

WordStream::WordStream() {
    WordList.resize(kWordSlots);
}

const QString& WordStream::Slot(int k) const {
    static const QString kBlank;
    if (k < 1 || k > WordList.size()) return kBlank;
    return WordList[k - 1];
}

void WordStream::SetSlot(int k, QString word) {
    if (k > WordList.size()) WordList.resize(k);
    WordList[k - 1] = std::move(word);
    usedSlots_ = std::max(usedSlots_, k);
}

void WordStream::ClearUsedSlots() {
    const int used = std::min<int>(usedSlots_, static_cast<int>(WordList.size()));
    for (int k = 0; k < used; ++k) WordList[k].clear();
    usedSlots_ = 0;
}

void WordStream::Reset() {
    ClearUsedSlots();
    WordCount = 0;
    WordIndex = 0;
}

void WordStream::SplitWords(const QString& line) {
    ClearUsedSlots();

    // The walk stops on reaching the end of the line, as if the line carried
    // one extra non-separator character there. Every pass of the loop
    // produces one slot: the word copied (if any), then the cut after it.
    const qsizetype end = line.size();
    int slot = 1;
    int produced = 0;
    qsizetype pos = 0;
    while (pos < end && produced < kMaxWordSlots) {
        const qsizetype start = pos;
        while (pos < end && !IsSeparator(line[pos])) ++pos;
        if (pos > start) SetSlot(slot, line.mid(start, pos - start) + u' ');
        if (pos < end) {
            while (pos < end && IsSeparator(line[pos])) ++pos;
            ++slot;
        }
        ++produced;
    }
    WordCount = static_cast<std::uint16_t>(produced);
}

bool WordStream::HasContent(const QString& word) {
    for (const QChar c : word) {
        if (c != u' ' && c != u'.') return true;
    }
    return false;
}

QString WordStream::NextWord(TextLines& buffer) {
    if (buffer.LineCount == 0) return {};
    int linesSplit = 0;
    for (;;) {
        // WordIndex at its maximum can only come from outside; treat it as
        // the end of the line rather than let it wrap round to 0.
        if (WordIndex > WordCount || WordIndex == UINT16_MAX) {
            if (linesSplit == buffer.LineCount) return {};  // every line looked at, nothing found
            ++linesSplit;
            WordIndex = 0;
            int next = buffer.CurrentLine + 1;
            if (next > buffer.LineCount) next = 1;
            buffer.CurrentLine = static_cast<std::uint16_t>(next);
            SplitWords(buffer.Line(next));
        }
        ++WordIndex;
        const QString& word = Slot(WordIndex);
        if (HasContent(word)) return word;
    }
}

QString WordStream::BuildSmartLine(TextLines& buffer) {
    QString line;
    while (line.size() <= kSmartLineMinimum) {
        const QString word = NextWord(buffer);
        if (word.isEmpty()) return {};
        line += word;
        line += u' ';
    }
    return line;
}

}  // namespace vistorel
