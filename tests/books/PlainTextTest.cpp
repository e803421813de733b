// Plain texts read in the encoding they are written in.

#include "books/Document.h"
#include "books/PlainText.h"
#include "platform/Errors.h"
#include "support/TestSupport.h"

#include "BookMaker.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

QByteArray Encoded(const QString& text, const char* encoding) { return QStringEncoder(encoding).encode(text); }

QStringList LinesOf(const QByteArray& bytes) { return ReadDocumentBytes(bytes, QStringLiteral("text.txt")).Lines; }

TEST(PlainText, EveryCommonCyrillicEncodingReadsAsTheSameText) {
    const QString story = bookmaker::StoryText(5);
    const QStringList expected = story.trimmed().split(u'\n');
    struct Case {
        const char* name;
        QByteArray bytes;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {"UTF-8", story.toUtf8(), TextEncoding::Utf8},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + story.toUtf8(), TextEncoding::Utf8},
        {"UTF-16LE", Encoded(story, "UTF-16LE"), TextEncoding::Utf16LE},
        {"UTF-16BE", Encoded(story, "UTF-16BE"), TextEncoding::Utf16BE},
        {"UTF-16LE with BOM", "\xFF\xFE" + Encoded(story, "UTF-16LE"), TextEncoding::Utf16LE},
        {"UTF-16BE with BOM", "\xFE\xFF" + Encoded(story, "UTF-16BE"), TextEncoding::Utf16BE},
        {"Windows-1251", Encoded(story, "windows-1251"), TextEncoding::Windows1251},
        {"KOI8-R", Encoded(story, "KOI8-R"), TextEncoding::Koi8R},
        {"CP866", Encoded(story, "IBM866"), TextEncoding::Cp866},
        // One short line is enough to tell them apart.
        {"short KOI8-R", Encoded(QStringLiteral("Смотритель зажёг фонарь.\n"), "KOI8-R"), TextEncoding::Koi8R},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding);
        const QStringList lines = LinesOf(c.bytes);
        if (QByteArrayView(c.name).startsWith("short")) {
            EXPECT_EQ(lines, QStringList{QStringLiteral("Смотритель зажёг фонарь.")});
        } else {
            EXPECT_EQ(lines, expected);
        }
    }
}

// Lines too short for the encoding detector (it names Greek, Thai or no
// code page for them) are told apart by the Russian letter pairs each
// reading gives.
TEST(PlainText, OneLineTextsReadRightInEverySingleByteEncoding) {
    const QString lines[] = {QStringLiteral("Толстой Лев"),  QStringLiteral("ГЛАВА ПЕРВАЯ"), QStringLiteral("Глава 1"),
                             QStringLiteral("Эй, ухнем!"),   QStringLiteral("щука"),          QStringLiteral("Нет"),
                             QStringLiteral("ЧАСТЬ ВТОРАЯ. Буря"), QStringLiteral("Смотритель зажёг фонарь.")};
    const std::pair<const char*, TextEncoding> encodings[] = {
        {"KOI8-R", TextEncoding::Koi8R}, {"IBM866", TextEncoding::Cp866}, {"windows-1251", TextEncoding::Windows1251}};
    for (const QString& line : lines) {
        for (const auto& [name, encoding] : encodings) {
            SCOPED_TRACE(testing::Message() << line.toStdString() << " in " << name);
            const QByteArray bytes = Encoded(line, name);
            EXPECT_EQ(DetectTextEncoding(bytes), encoding);
            EXPECT_EQ(LinesOf(bytes), QStringList{line});
        }
    }
}

TEST(PlainText, TextsTheDetectorCannotPlaceKeepTheOldRule) {
    // A Latin text with one Windows-1251 letter, and a UTF-8 text with one
    // damaged byte among many sequences: Windows-1251 and UTF-8 as before.
    EXPECT_EQ(LinesOf("Notes, 2nd edition \xE0 la carte"), QStringList{QStringLiteral("Notes, 2nd edition а la carte")});
    const QByteArray damaged = QStringLiteral("Буря пришла с севера, ").repeated(3).toUtf8() + "\xFF";
    EXPECT_EQ(LinesOf(damaged), QStringList{QStringLiteral("Буря пришла с севера, ").repeated(3) + QChar(0xFFFD)});
}

TEST(PlainText, TabsAndOtherSpacesBecomePlainSpaces) {
    EXPECT_EQ(LinesOf(QStringLiteral("один\tдва\u00A0три\vчетыре\fпять\r\n\tшесть").toUtf8()),
              (QStringList{QStringLiteral("один два три четыре пять"), QStringLiteral(" шесть")}));
}

TEST(PlainText, ZeroCharactersAreNoText) {
    // Zero bytes in a UTF-16 text are its high bytes; decoded zeros are not text.
    try {
        LinesOf(QByteArray("abc\0def\0", 8));
        ADD_FAILURE() << "read";
    } catch (const FileError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("нулевые байты"))) << error.what();
    }
}

// The beginning of a text, for the windows that show only that: a character
// cut by the byte limit is dropped in every encoding, a zero character ends
// the text, and a book gives its first lines up to the limit in characters.
TEST(PlainText, TheHeadOfATextEndsOnAWholeCharacter) {
    test::StartDirectory dir(false);
    const QString line = QStringLiteral("Ёлка и маяк");  // 11 characters
    auto head = [&](const QByteArray& bytes, qint64 maxBytes) {
        dir.Write(QStringLiteral("text"), bytes);
        return ReadDocumentHead(dir.File(QStringLiteral("text")), maxBytes);
    };
    // 10 bytes: "Ёлка " is 9 bytes in UTF-8, and the first byte of "и" is dropped.
    EXPECT_EQ(head(line.toUtf8(), 10).Lines, QStringList{QStringLiteral("Ёлка ")});
    EXPECT_EQ(head("\xFF\xFE" + Encoded(line, "UTF-16LE"), 9).Lines, QStringList{QStringLiteral("Ёлк")});
    EXPECT_EQ(head(Encoded(line, "KOI8-R") + "\n" + Encoded(line, "KOI8-R"), 15).Lines,
              (QStringList{line, QStringLiteral("Ёлк")}));
    const DocumentHead zero = head(QStringLiteral("Ёлка").toUtf8() + QByteArray(1, '\0') + QStringLiteral("маяк").toUtf8(), 100);
    EXPECT_EQ(zero.Lines, QStringList{QStringLiteral("Ёлка")});
    EXPECT_TRUE(zero.StoppedAtZero);

    const bookmaker::Book book = bookmaker::StoryBook(1, 3);
    const QStringList lines = bookmaker::BookLines(book);
    const qint64 limit = lines[0].size() + lines[1].size() + 5;
    EXPECT_EQ(head(bookmaker::Fb2(book), limit).Lines, (QStringList{lines[0], lines[1], lines[2].left(5)}));
}

}  // namespace
}  // namespace vistorel
