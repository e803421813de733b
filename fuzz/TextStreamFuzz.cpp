// Fuzz target: a text file as an exercise reads it. The bytes are decoded
// (in the encoding detected), cut into lines (other spaces made plain ones), and the word stream hands out
// their words one by one and as smart lines. Every word handed out is the
// next word of the text, read round from line 1, at an index inside the
// stream's list; a text without words gives an empty word at once.

#include "FuzzSupport.h"

#include "books/Document.h"
#include "books/PlainText.h"
#include "engine/TextLines.h"
#include "engine/WordStream.h"
#include "platform/Errors.h"
#include "platform/TextCodec.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace vistorel::fuzz {
namespace {

constexpr std::uint16_t kUnread = 0x4242;  // a reading position the load must leave alone

bool IsSeparator(QChar c) { return c == u' ' || c == u'.' || c == u',' || c == u'-'; }

// The slots a line gives: a word (with its space) per separator run, and a
// blank first slot when the line starts with separators.
QStringList ExpectedSlots(const QString& line) {
    QStringList slots;
    QString word;
    bool inRun = false;
    for (const QChar c : line) {
        if (IsSeparator(c)) {
            if (!inRun && (!word.isEmpty() || slots.isEmpty())) slots.append(word.isEmpty() ? QString() : word + u' ');
            word.clear();
            inRun = true;
        } else {
            word += c;
            inRun = false;
        }
    }
    if (!word.isEmpty()) slots.append(word + u' ');
    return slots;
}

// The text's words in reading order, with the line each comes from.
struct Word {
    int Line;
    QString Text;
};

std::vector<Word> ExpectedWords(const TextLines& buffer) {
    std::vector<Word> words;
    for (int n = 1; n <= buffer.LineCount; ++n) {
        const QStringList slots = ExpectedSlots(buffer.Line(n));
        for (const QString& slot : slots) {
            if (!slot.isEmpty()) words.push_back({n, slot});
        }
    }
    return words;
}

void CheckDecoding(const QByteArray& bytes) {
    const QString text = DecodeText(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    const QString windows = FromCp1251(bytes);
    FUZZ_CHECK(windows.size() == bytes.size());
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        FUZZ_CHECK(text == QString::fromUtf8(bytes.mid(3)));
    } else {
        FUZZ_CHECK(text == windows || text == QString::fromUtf8(bytes));
    }
    const Utf8Census census = CountUtf8(bytes);
    FUZZ_CHECK(census.Sequences >= 0 && census.Invalid >= 0 && 2 * census.Sequences + census.Invalid <= bytes.size());
    if (census.Invalid == 0) FUZZ_CHECK(text == QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes));

    // Windows-1251 goes back to the same bytes; its one byte without a character becomes '?'.
    QByteArray back = bytes;
    back.replace('\x98', '?');
    FUZZ_CHECK(ToCp1251(windows) == back);
    FUZZ_CHECK(FitsCp1251(windows) == !bytes.contains('\x98'));
}

// The lines the file should give: breaks are CR LF, LF or CR; a last line
// without a break counts, an empty text has none.
QStringList ExpectedLines(const QString& decoded) {
    QString text = decoded;
    if (text.isEmpty()) return {};
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    for (QChar& c : text) {
        if (c != u'\n' && c.isSpace()) c = u' ';
    }
    if (text.endsWith(u'\n')) text.chop(1);
    return text.split(u'\n');
}

// Loads the file; false when the text is refused, which must be for a
// reason the loader names, with the buffer left as it was.
bool LoadAndCheck(TextLines& buffer, const QString& file, const QByteArray& bytes) {
    buffer.Lines = QStringList{QStringLiteral("before")};
    buffer.LineCount = 1;
    buffer.CurrentLine = kUnread;
    const QString decoded = DecodePlainText(bytes);
    const bool zeros = decoded.contains(QChar(0));
    const QStringList expected = ExpectedLines(decoded);
    bool refused = false;
    try {
        LoadTextLines(buffer, file);
    } catch (const FileError&) {
        FUZZ_CHECK(zeros);
        refused = true;
    } catch (const RangeError&) {
        FUZZ_CHECK(!zeros && expected.size() > kMaxTextLines);
        refused = true;
    }
    FUZZ_CHECK(buffer.CurrentLine == kUnread);
    if (refused) {
        FUZZ_CHECK(buffer.LineCount == 1 && buffer.Lines == QStringList{QStringLiteral("before")});
        return false;
    }
    FUZZ_CHECK(!zeros);
    FUZZ_CHECK(buffer.Lines == expected);
    FUZZ_CHECK(buffer.LineCount == buffer.Lines.size() && buffer.LineCount <= kMaxTextLines);
    FUZZ_CHECK(buffer.Line(0).isEmpty() && buffer.Line(buffer.LineCount + 1).isEmpty());
    return true;
}

// The stream's state after any call: the index it handed out lies inside
// its list and its last split.
void CheckState(const WordStream& stream) {
    FUZZ_CHECK(stream.WordCount <= stream.WordList.size());
    FUZZ_CHECK(stream.Slot(0).isEmpty() && stream.Slot(static_cast<int>(stream.WordList.size()) + 1).isEmpty());
}

void CheckSplit(const QString& line) {
    if (line.size() >= 2 * kMaxWordSlots) return;  // a line the stream cuts short
    WordStream stream;
    stream.SplitWords(line);
    CheckState(stream);
    const QStringList expected = ExpectedSlots(line);
    FUZZ_CHECK(stream.WordCount == expected.size());
    for (int k = 1; k <= stream.WordCount; ++k) FUZZ_CHECK(stream.Slot(k) == expected[k - 1]);

    // A shorter line after it leaves nothing of the longer one behind.
    const QString shorter = line.left(line.size() / 3);
    stream.SplitWords(shorter);
    CheckState(stream);
    FUZZ_CHECK(stream.WordCount == ExpectedSlots(shorter).size());
    for (qsizetype k = stream.WordCount; k < stream.WordList.size(); ++k) FUZZ_CHECK(stream.WordList[k].isEmpty());
}

// Takes words from `first` on (an index into the text's words) and checks
// each against the text.
void CheckReading(TextLines buffer, WordStream stream, const std::vector<Word>& words, std::size_t first) {
    if (words.empty()) {
        FUZZ_CHECK(stream.NextWord(buffer).isEmpty());
        FUZZ_CHECK(stream.BuildSmartLine(buffer).isEmpty());
        return;
    }
    const std::size_t count = std::min<std::size_t>(words.size() + 3, 300);
    for (std::size_t i = 0; i < count; ++i) {
        const Word& expected = words[(first + i) % words.size()];
        const QString word = stream.NextWord(buffer);
        CheckState(stream);
        FUZZ_CHECK(word == expected.Text && buffer.CurrentLine == expected.Line);
        FUZZ_CHECK(stream.WordIndex >= 1 && stream.WordIndex <= stream.WordCount);
        FUZZ_CHECK(stream.Slot(stream.WordIndex) == word && WordStream::HasContent(word));
    }

    // A smart line: the next words, each with one more space, just past 64 characters.
    QString expected;
    std::size_t next = first + count;
    while (expected.size() <= 64) expected += words[next++ % words.size()].Text + u' ';
    FUZZ_CHECK(stream.BuildSmartLine(buffer) == expected);
    CheckState(stream);
}

void CheckWordStream(const TextLines& loaded, std::size_t seed) {
    TextLines buffer = loaded;
    for (const QString& line : buffer.Lines) {
        if (line.size() >= 2 * kMaxWordSlots) return;  // a line the stream cuts short
    }
    const std::vector<Word> words = ExpectedWords(buffer);

    // From the start of the text, as an exercise begins.
    buffer.CurrentLine = 0;
    CheckReading(buffer, WordStream(), words, 0);

    // From a position set from outside: a stream whose index lies beyond its
    // line goes on at the line after the current one (line 1 past the end);
    // a jump to a bookmark splits the bookmarked line and starts at its first
    // word (line 1 for a line the text does not have).
    const int start = static_cast<int>(seed % (buffer.LineCount + 3u));
    buffer.CurrentLine = static_cast<std::uint16_t>(start);
    WordStream stream;
    int line = start + 1 > buffer.LineCount ? 1 : start + 1;
    switch (seed / 7 % 3) {
        case 0: stream.WordIndex = UINT16_MAX; break;
        case 1: stream.WordIndex = kWordSlots + 1; break;
        default:
            stream.SplitWords(buffer.Line(start));
            stream.WordIndex = 0;
            line = start >= 1 && start <= buffer.LineCount ? start : 1;
            break;
    }
    std::size_t first = 0;
    while (first < words.size() && words[first].Line < line) ++first;
    CheckReading(buffer, stream, words, first % std::max<std::size_t>(words.size(), 1));
}

}  // namespace
}  // namespace vistorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const QString file = ScratchFile(QStringLiteral("text.txt"));
    WriteScratch(file, data, size);
    const QByteArray bytes = InputBytes(data, size);

    CheckDecoding(bytes);
    // Archives and FB2 documents go to the book readers, fuzzed on their own.
    if (ContainerOf(bytes) != Container::Text) return 0;
    TextLines buffer;
    if (!LoadAndCheck(buffer, file, bytes)) return 0;
    if (buffer.LineCount > 0) CheckSplit(buffer.Lines.join(u'\t'));
    CheckWordStream(buffer, size + (size > 0 ? 31u * data[size / 2] : 0u));
    return 0;
}
