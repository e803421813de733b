// Finding a reading place again after the text changed: by its line, told
// apart from lines that say the same by its neighbours; by its neighbours
// when the line itself was edited or removed; and not at all when nothing
// of it is left.

#include "history/PlaceFingerprint.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

using Outcome = FoundPlace::Outcome;

QStringList Chapter() {
    return {QStringLiteral("Глава первая"), QString(), QStringLiteral("Было утро."), QStringLiteral("* * *"),
            QStringLiteral("Он вышел из дома."), QStringLiteral("* * *"), QStringLiteral("Шёл дождь."),
            QStringLiteral("Конец.")};
}

ReadingPlace At(const QStringList& lines, int line, int word) { return {line, word, PlaceFingerprint(lines, line)}; }

void ExpectFound(const FoundPlace& found, Outcome outcome, int line, int word) {
    EXPECT_EQ(found.Found, outcome);
    EXPECT_EQ(found.Line, line);
    EXPECT_EQ(found.Word, word);
}

TEST(PlaceFingerprint, HoldsTheHashesOfTheLineAndOfTheLinesWithWordsAroundIt) {
    const auto self = [](int line) { return PlaceFingerprint(Chapter(), line).split(u' ').value(3); };
    // Before "Было утро.": nothing, then "Глава первая" (the empty line skipped); after it "* * *" and the next.
    EXPECT_EQ(PlaceFingerprint(Chapter(), 3).split(u' '),
              (QStringList{QStringLiteral("1"), QStringLiteral("-"), self(1), self(3), self(4), self(5)}));
    EXPECT_EQ(self(3).size(), 12);
    EXPECT_NE(self(3), self(4));
    EXPECT_EQ(self(4), self(6));
    // Spacing does not count; a line without words, or past the text, has no place of its own.
    QStringList spaced = Chapter();
    spaced[2] = QStringLiteral("  Было\tутро.  ");
    EXPECT_EQ(PlaceFingerprint(spaced, 3), PlaceFingerprint(Chapter(), 3));
    EXPECT_EQ(PlaceFingerprint(Chapter(), 9), QString());
    EXPECT_EQ(PlaceFingerprint(Chapter(), 0), QString());
}

TEST(PlaceFingerprint, TheLineIsFoundWhereItIsNowAndALineThatRepeatsByItsNeighbours) {
    const QStringList text = Chapter();
    ExpectFound(FindPlace(text, At(text, 5, 3)), Outcome::Same, 5, 3);
    // Twenty lines before it: the same word of the same line.
    QStringList longer = text;
    for (int k = 0; k < 20; ++k) longer.prepend(QStringLiteral("Предисловие, строка %1").arg(20 - k));
    ExpectFound(FindPlace(longer, At(text, 5, 3)), Outcome::Moved, 25, 3);
    // "* * *" stands twice: the second is the one after "Он вышел из дома."
    ExpectFound(FindPlace(longer, At(text, 6, 1)), Outcome::Moved, 26, 1);
    ExpectFound(FindPlace(longer, At(text, 4, 1)), Outcome::Moved, 24, 1);
    // Lines removed before it.
    const QStringList shorter = text.mid(3);
    ExpectFound(FindPlace(shorter, At(text, 7, 2)), Outcome::Moved, 4, 2);
}

TEST(PlaceFingerprint, AnEditedLineIsFoundByItsNeighboursAtItsStartAndAVanishedTextIsLost) {
    const QStringList text = Chapter();
    QStringList edited = text;
    edited[4] = QStringLiteral("Она вышла из дома.");
    edited.prepend(QStringLiteral("Посвящение"));
    ExpectFound(FindPlace(edited, At(text, 5, 3)), Outcome::Moved, 6, 0);
    // The line removed: on at the line after it.
    QStringList removed = text;
    removed.removeAt(4);
    ExpectFound(FindPlace(removed, At(text, 5, 3)), Outcome::Moved, 5, 0);
    // Nothing left of it or around it.
    EXPECT_EQ(FindPlace({QStringLiteral("Совсем другой текст."), QStringLiteral("И ещё строка.")}, At(text, 5, 3)).Found,
              Outcome::Lost);
    // A place without a fingerprint counts by its number while the text is that long.
    ExpectFound(FindPlace(text, {8, 2, {}}), Outcome::Same, 8, 2);
    EXPECT_EQ(FindPlace(text, {9, 2, {}}).Found, Outcome::Lost);
}

}  // namespace
}  // namespace vistorel
