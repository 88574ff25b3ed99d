#include <gtest/gtest.h>

#include <string>

#include "gui/ui/Text.h"

namespace {

TEST(Text, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    const QString text = FromBytes(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToBytes(text), all);
}

struct CodePageCase {
    unsigned char byte;
    char16_t character;
};

TEST(Text, CodePageCharactersMapBothWays) {
    const CodePageCase cases[] = {
        {0x80, u'€'}, {0xE4, u'ä'},      {0xDF, u'ß'},      {0x8A, u'Š'},      {0x92, u'\u2019'},
        {0x9F, u'Ÿ'}, {0x81, u'\u0081'}, {0x9D, u'\u009D'}, {0xA0, u'\u00A0'}, {0x41, u'A'},
    };
    for (const CodePageCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << int(c.byte));
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(FromBytes(byte), QString(QChar(c.character)));
        EXPECT_EQ(ToBytes(QString(QChar(c.character))), byte);
    }
}

TEST(Text, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    EXPECT_EQ(ToBytes(QString::fromUtf8("5 \u2713 ok")), "5 ? ok");
    EXPECT_EQ(ToBytes(QString(QChar(0x0080))), "?");  // a C1 control the code page uses for €
    EXPECT_EQ(ToBytes(QString(QChar(0x0100))), "?");
    EXPECT_EQ(ToBytes(QString::fromUtf8("a\U0001F600b")), "a?b");  // a surrogate pair
    EXPECT_EQ(ToBytes(QString("W") + QChar(0x00E4) + "rme " + QChar(0x20AC)), "W\xE4rme \x80");
}

}  // namespace
