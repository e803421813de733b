// Windows-1251 conversion and the choice of encoding for text files.

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

using namespace vistorel;

TEST(TextCodec, EveryWindows1251ByteDecodesLikeTheSystemConverter) {
    QStringDecoder reference("windows-1251");
    ASSERT_TRUE(reference.isValid());
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;  // no character in this code page
        const QByteArray byte(1, static_cast<char>(b));
        const QString ours = FromCp1251(byte);
        const QString theirs = reference.decode(byte);
        EXPECT_EQ(ours, theirs) << "byte " << b;
        EXPECT_EQ(ToCp1251(ours), byte) << "byte " << b;
    }
}

TEST(TextCodec, RussianTextRoundTripsAndUnknownCharactersBecomeQuestionMarks) {
    const QString text = QStringLiteral("Съешь же ещё этих мягких французских булок, ёж — №5 «да»");
    EXPECT_EQ(FromCp1251(ToCp1251(text)), text);
    EXPECT_EQ(ToCp1251(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
}

TEST(TextCodec, TextFilesAreUtf8WhenValidOrMarkedElseWindows1251) {
    const QString russian = QStringLiteral("Мама мыла раму");
    EXPECT_EQ(DecodeText(russian.toUtf8()), russian);
    EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBF") + russian.toUtf8()), russian);
    EXPECT_EQ(DecodeText(ToCp1251(russian)), russian);
    EXPECT_EQ(DecodeText(QByteArray("plain ascii")), QStringLiteral("plain ascii"));
    EXPECT_EQ(DecodeText(QByteArray()), QString());
}
