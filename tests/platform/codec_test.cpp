#include "platform/codec.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

// Every byte decodes as ICU's windows-1251 does (0x98 has no character there: it is U+0098
// here) and encodes back to itself.
TEST(Cp1251, AllBytesRoundTrip) {
    QStringDecoder icu("windows-1251");
    ASSERT_TRUE(icu.isValid());
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString s = plat::fromCp1251(byte);
        ASSERT_EQ(s.size(), 1) << b;
        if (b == 0x98)
            EXPECT_EQ(s[0].unicode(), 0x0098);
        else
            EXPECT_EQ(s, QString(icu.decode(byte))) << "byte " << b;
        EXPECT_EQ(plat::toCp1251(s), byte) << "byte " << b;
        EXPECT_TRUE(plat::fitsCp1251(s));
    }
}

TEST(Cp1251, KnownLetters) {
    EXPECT_EQ(plat::toCp1251(QStringLiteral("Ёё№ Тест")),
              QByteArray("\xA8\xB8\xB9 \xD2\xE5\xF1\xF2"));
}

TEST(Cp1251, UnmappableBecomesQuestionMark) {
    // Greek, CJK, a character beyond the 16-bit plane (one '?', not two), U+001A kept as is.
    const QString text = QStringLiteral("a\u03B1b\u4E2Dc") + QString::fromUcs4(U"\U0001F600") +
                         QStringLiteral("\u001A");
    EXPECT_EQ(plat::toCp1251(text), QByteArray("a?b?c?\x1A"));
    EXPECT_FALSE(plat::fitsCp1251(text));
    EXPECT_TRUE(plat::fitsCp1251(QStringLiteral("Привет, world €")));
}
