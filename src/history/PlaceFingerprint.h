#pragma once
// Finding a reading place again in a text that has changed since: with the
// place the program keeps a fingerprint of its line and of the two lines with
// words on either side, and looks for that line (or, if the line itself was
// edited, for its neighbours) in the text as it is now.

#include "history/Results.h"

#include <QString>
#include <QStringList>

namespace vistorel {

// "1 <before 2> <before 1> <line> <after 1> <after 2>": each a short hash of
// the line with its spaces folded, "-" where the text has no such line. line
// is 1-based; out of the text there is no fingerprint (an empty string).
QString PlaceFingerprint(const QStringList& lines, int line);

struct FoundPlace {
    enum class Outcome {
        Same,   // the place is where it was (or has no fingerprint and is still inside the text)
        Moved,  // the text changed: the nearest line that matches
        Lost,   // nothing of it is left: start at line 1
    };
    Outcome Found = Outcome::Lost;
    int Line = 0;
    int Word = 0;
};

// Where `place` is in these lines. The word is kept where the line itself was
// found, and 0 (the line's start) where only its neighbours were.
FoundPlace FindPlace(const QStringList& lines, const ReadingPlace& place);

}  // namespace vistorel
