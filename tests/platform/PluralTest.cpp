// A count with its noun in the form that follows that number in Russian.

#include "platform/Plural.h"

#include <gtest/gtest.h>

using namespace vistorel;

TEST(Plural, TheNounAgreesWithTheLastDigitsOfTheCount) {
    const NounForms words{u"слово", u"слова", u"слов"};
    const std::pair<qint64, const char16_t*> cases[] = {
        {0, u"0 слов"},     {1, u"1 слово"},     {2, u"2 слова"},     {4, u"4 слова"},     {5, u"5 слов"},
        {11, u"11 слов"},   {12, u"12 слов"},    {14, u"14 слов"},    {21, u"21 слово"},   {22, u"22 слова"},
        {25, u"25 слов"},   {101, u"101 слово"}, {111, u"111 слов"},  {112, u"112 слов"},  {1004, u"1004 слова"},
        {20130, u"20130 слов"},
    };
    for (const auto& [count, expected] : cases) EXPECT_EQ(Counted(count, words), QString::fromUtf16(expected));
}
