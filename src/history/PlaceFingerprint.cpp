#include "history/PlaceFingerprint.h"

#include <QCryptographicHash>
#include <cstdlib>
#include <vector>

namespace vistorel {
namespace {

const QString kFingerprintVersion = QStringLiteral("1");
const QString kNoLine = QStringLiteral("-");
constexpr int kNeighbours = 2;  // neighbours on each side

// A line as the fingerprint sees it: the same words with any spacing give
// the same hash; a line without anything but spaces gives none.
QString LineHash(const QString& line) {
    const QString words = line.simplified();
    if (words.isEmpty()) return {};
    return QString::fromLatin1(
        QCryptographicHash::hash(words.toUtf8(), QCryptographicHash::Sha1).left(6).toHex());
}

// The lines with words: their numbers, and their hashes.
struct WordLines {
    explicit WordLines(const QStringList& lines) {
        for (qsizetype k = 0; k < lines.size(); ++k) {
            QString hash = LineHash(lines[k]);
            if (hash.isEmpty()) continue;
            Number.push_back(static_cast<int>(k) + 1);
            Hash.push_back(std::move(hash));
        }
    }
    int Size() const { return static_cast<int>(Number.size()); }
    const QString& At(int position) const {
        return position >= 0 && position < Size() ? Hash[static_cast<std::size_t>(position)] : kNoLine;
    }
    std::vector<int> Number;
    std::vector<QString> Hash;
};

// How many of the stored neighbours stand around the line at this position.
int NeighbourScore(const WordLines& text, int position, const QStringList& stored) {
    int score = 0;
    for (int side = 1; side <= kNeighbours; ++side) {
        score += text.At(position - side) == stored[kNeighbours - side + 1] ? 1 : 0;
        score += text.At(position + side) == stored[kNeighbours + side + 1] ? 1 : 0;
    }
    return score;
}

}  // namespace

QString PlaceFingerprint(const QStringList& lines, int line) {
    if (line < 1 || line > lines.size()) return {};
    QStringList parts{kFingerprintVersion};
    // The neighbours with words before the line, nearest last.
    QStringList before;
    for (int k = line - 1; k >= 1 && before.size() < kNeighbours; --k) {
        const QString hash = LineHash(lines[k - 1]);
        if (!hash.isEmpty()) before.prepend(hash);
    }
    while (before.size() < kNeighbours) before.prepend(kNoLine);
    parts += before;
    const QString self = LineHash(lines[line - 1]);
    parts.append(self.isEmpty() ? kNoLine : self);
    QStringList after;
    for (int k = line + 1; k <= lines.size() && after.size() < kNeighbours; ++k) {
        const QString hash = LineHash(lines[k - 1]);
        if (!hash.isEmpty()) after.append(hash);
    }
    while (after.size() < kNeighbours) after.append(kNoLine);
    parts += after;
    return parts.join(u' ');
}

FoundPlace FindPlace(const QStringList& lines, const ReadingPlace& place) {
    const int count = static_cast<int>(lines.size());
    const bool inside = place.Line >= 1 && place.Line <= count;
    const QStringList stored = place.Fingerprint.split(u' ');
    // Without a fingerprint of this form (a place saved by an earlier
    // version, or on a line without words) only the number is known.
    if (stored.size() != 2 * kNeighbours + 2 || stored[0] != kFingerprintVersion || stored[kNeighbours + 1] == kNoLine) {
        if (inside) return {FoundPlace::Outcome::Same, place.Line, place.Word};
        return {};
    }
    const WordLines text(lines);
    const QString& self = stored[kNeighbours + 1];
    // The best position: most neighbours in place, then nearest to where it was.
    int best = -1, bestScore = -1, bestDistance = 0;
    const auto consider = [&](int position, int score) {
        const int distance = std::abs(text.Number[static_cast<std::size_t>(position)] - place.Line);
        if (score > bestScore || (score == bestScore && distance < bestDistance)) {
            best = position;
            bestScore = score;
            bestDistance = distance;
        }
    };
    for (int position = 0; position < text.Size(); ++position) {
        if (text.At(position) == self) consider(position, NeighbourScore(text, position, stored));
    }
    if (best >= 0) {
        const int line = text.Number[static_cast<std::size_t>(best)];
        return {line == place.Line ? FoundPlace::Outcome::Same : FoundPlace::Outcome::Moved, line, place.Word};
    }
    // The line itself was edited or removed: where its neighbours stand. One
    // neighbour alone is too weak a sign where the fingerprint has more.
    int known = 0;
    for (int k = 1; k < stored.size(); ++k) known += k != kNeighbours + 1 && stored[k] != kNoLine ? 1 : 0;
    const int needed = std::min(2, known);
    for (int position = 0; position < text.Size(); ++position) {
        const int score = NeighbourScore(text, position, stored);
        if (score >= needed && score > 0) consider(position, score);
    }
    if (best < 0) return {};
    return {FoundPlace::Outcome::Moved, text.Number[static_cast<std::size_t>(best)], 0};
}

}  // namespace vistorel
