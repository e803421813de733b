#pragma once
// The word stream: the words of the current line as the word modes take them,
// read line after line through the text and round again from line 1.

#include "engine/TextLines.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vistorel {

// Slots a fresh stream has; a line with more words makes the list grow.
inline constexpr int kWordSlots = 140;
// A line gives at most this many slots (WordCount and WordIndex are 16-bit
// and WordIndex must be able to pass WordCount); the rest of such a line is
// not handed out.
inline constexpr int kMaxWordSlots = 65534;

class WordStream {
public:
    WordStream();

    // Slot k (from 1) is WordList[k - 1]: a word followed by one space, or an
    // empty string for a slot without a word.
    QStringList WordList;
    std::uint16_t WordCount = 0;  // slots the last split produced
    std::uint16_t WordIndex = 0;  // slot last handed out

    // Slot k, 1-based; empty outside the list.
    const QString& Slot(int k) const;

    // An empty stream, as before the first word of a text: no slots in use,
    // WordCount and WordIndex 0.
    void Reset();

    // Cuts a line into slots at runs of the separators space . , and -.
    // Each run ends a slot, so a line that starts with separators leaves
    // slot 1 empty, and a line of separators only gives one empty slot.
    // Only the slots the previous line used are emptied first, so a split
    // costs what the line holds, not what the longest line ever held.
    void SplitWords(const QString& line);

    // True when the word has a character other than a space or a full stop.
    static bool HasContent(const QString& word);

    // The next word worth showing, with its trailing space. Hands out the
    // rest of the line split last, then splits the following lines, wrapping
    // after the last line to line 1. Gives an empty string when the text has
    // no such word at all: after one fruitless pass over every line, and at
    // once when the text has no lines.
    QString NextWord(TextLines& buffer);

    // Consecutive words, each with one more space, until the result is longer
    // than 64 characters; empty when NextWord finds nothing.
    QString BuildSmartLine(TextLines& buffer);

private:
    void SetSlot(int k, QString word);
    void ClearUsedSlots();

    int usedSlots_ = 0;  // slots 1..usedSlots_ may hold a word of the last line
};

}  // namespace vistorel
