#include "engine/WordStream.h"

#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vistorel {
namespace {

TextLines Text(const QStringList& lines) {
    TextLines buffer;
    buffer.Lines = lines;
    buffer.LineCount = static_cast<std::uint16_t>(lines.size());
    return buffer;
}

QStringList Split(const QString& line) {
    WordStream stream;
    stream.SplitWords(line);
    QStringList slots;
    for (int k = 1; k <= stream.WordCount; ++k) slots.append(stream.Slot(k));
    return slots;
}

QStringList Take(WordStream& stream, TextLines& buffer, int count) {
    QStringList words;
    for (int i = 0; i < count; ++i) words.append(stream.NextWord(buffer));
    return words;
}

TEST(WordStream, SplitsAtSeparatorRuns) {
    EXPECT_EQ(Split(QStringLiteral("Мама мыла раму.")),
              (QStringList{QStringLiteral("Мама "), QStringLiteral("мыла "), QStringLiteral("раму ")}));
    EXPECT_EQ(Split("a, b-c"), (QStringList{"a ", "b ", "c "}));
    EXPECT_EQ(Split("Hello, world"), (QStringList{"Hello ", "world "}));
    EXPECT_EQ(Split("e-mail 3.14"), (QStringList{"e ", "mail ", "3 ", "14 "}));
    EXPECT_EQ(Split("Why?! (x)"), (QStringList{"Why?! ", "(x) "}));
    EXPECT_EQ(Split("..."), QStringList{""});
    EXPECT_EQ(Split(""), QStringList{});
    EXPECT_EQ(Split(" ,word"), (QStringList{"", "word "}));  // slot 1 left blank
}

TEST(WordStream, ReadsThroughTheTextAndWraps) {
    TextLines buffer = Text({"one two", "...", ". . .", "", "three", "- , ."});
    WordStream stream;
    stream.WordIndex = 41;  // as an exercise start leaves it
    EXPECT_EQ(Take(stream, buffer, 3), (QStringList{"one ", "two ", "three "}));
    EXPECT_EQ(buffer.CurrentLine, 5);
    EXPECT_EQ(stream.NextWord(buffer), "one ");
    EXPECT_EQ(buffer.CurrentLine, 1);

    // A position past the end (a shorter text since) goes on at line 1.
    buffer.CurrentLine = UINT16_MAX;
    stream.WordIndex = UINT16_MAX;
    EXPECT_EQ(stream.NextWord(buffer), "one ");
    EXPECT_EQ(buffer.CurrentLine, 1);

    // A text's only word comes round again after a full pass.
    TextLines lone = Text({"...", "only", ". ."});
    WordStream again;
    EXPECT_EQ(Take(again, lone, 3), (QStringList{"only ", "only ", "only "}));
}

TEST(WordStream, EveryLineGivesExactlyItsOwnWords) {
    QStringList words;
    QStringList expected;
    for (int i = 1; i <= 200; ++i) {
        words.append(QStringLiteral("w%1").arg(i));
        expected.append(QStringLiteral("w%1 ").arg(i));
    }
    TextLines buffer = Text({words.join(QStringLiteral(", ")), "x y", "z"});
    WordStream stream;
    EXPECT_EQ(Take(stream, buffer, 200), expected);
    EXPECT_EQ(Take(stream, buffer, 4), (QStringList{"x ", "y ", "z ", "w1 "}));

    // A new exercise on another text hands out the old line's slots past 41 first.
    TextLines next = Text({"new"});
    stream.WordIndex = 41;
    EXPECT_EQ(Take(stream, next, 2), (QStringList{"w42 ", "w43 "}));
}

TEST(WordStream, SmartLinePassesSixtyFourCharacters) {
    TextLines buffer = Text({"one two six ten", "red far", "cat dog sun owl fox ant bee elk yak"});
    WordStream stream;
    const QString line = stream.BuildSmartLine(buffer);
    EXPECT_EQ(line.size(), 65);  // 13 words of 5 characters
    EXPECT_TRUE(line.startsWith(QStringLiteral("one  two  six  ten  red  far  cat"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("ant  bee  "))) << line.toStdString();
    EXPECT_EQ(stream.NextWord(buffer), "elk ");

    // 64 characters are not yet enough; one long word may be more than enough.
    const QString x62(62, u'x');
    const QString z70(70, u'z');
    TextLines longWords = Text({x62, "y", z70});
    WordStream other;
    EXPECT_EQ(other.BuildSmartLine(longWords), x62 + QStringLiteral("  y  "));
    EXPECT_EQ(other.BuildSmartLine(longWords), z70 + QStringLiteral("  "));
}

TEST(WordStream, TextWithoutWordsGivesNothing) {
    WordStream stream;
    stream.SplitWords("left over");  // slots of an earlier text are not handed out
    stream.WordIndex = 0;
    TextLines empty;
    EXPECT_EQ(stream.NextWord(empty), "");
    EXPECT_EQ(stream.BuildSmartLine(empty), "");
    EXPECT_EQ(empty.CurrentLine, 0);

    // One pass over every line, ending on the line it started from.
    TextLines blank = Text({"...", " - , ", "", ". ."});
    blank.CurrentLine = 2;
    WordStream fresh;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fresh.NextWord(blank), "");
        EXPECT_EQ(blank.CurrentLine, 2);
        EXPECT_EQ(fresh.BuildSmartLine(blank), "");
        EXPECT_EQ(blank.CurrentLine, 2);
    }
}

}  // namespace
}  // namespace vistorel
