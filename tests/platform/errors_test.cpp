#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

struct Good {
    const char* text;
    int value;
};

class StrToIntGood : public ::testing::TestWithParam<Good> {};

TEST_P(StrToIntGood, Converts) {
    EXPECT_EQ(plat::strToInt(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, StrToIntGood,
                         ::testing::Values(Good{"0", 0}, Good{"42", 42}, Good{"+7", 7},
                                           Good{"-15", -15}, Good{"007", 7},
                                           Good{"2147483647", 2147483647},
                                           Good{"-2147483648", -2147483647 - 1}, Good{"$FF", 255},
                                           Good{"$ff", 255}, Good{"-$10", -16},
                                           Good{"$7FFFFFFF", 2147483647}, Good{"$FFFFFFFF", -1}));

class StrToIntBad : public ::testing::TestWithParam<const char*> {};

TEST_P(StrToIntBad, NamesTheTextInTheError) {
    const QString text = QString::fromUtf8(GetParam());
    try {
        plat::strToInt(text);
        ADD_FAILURE() << "no error for '" << GetParam() << "'";
    } catch (const plat::ConvertError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StrToIntBad,
                         ::testing::Values("", " ", "10x", " 5", "5 ", "+", "-", "$", "1.5", "1e3",
                                           "2147483648", "-2147483649", "$100000000",
                                           "99999999999999999999", "$G", "0x10", "--1", "５"));

}  // namespace
