// The answer check, as a table of cases.
#include "client/checks.h"

#include <gtest/gtest.h>

using pandrel::AnswerOnScreen;
using pandrel::IsAnswerCorrect;

namespace {

struct AnswerCase {
    const char* what;
    AnswerOnScreen a;
    bool right;
};

AnswerOnScreen typed(const char* otv1, const char* typedText) {
    AnswerOnScreen a;
    a.TypeVopr = "2";
    a.Otv1 = QString::fromUtf8(otv1);
    a.typed = QString::fromUtf8(typedText);
    return a;
}

// Choice: flags as a string of 't', 'f' and '-' (empty), ticks as a string of 'x' and '.'.
AnswerOnScreen choice(const char* maxOtv, const char* flags, const char* ticks,
                      const char* typeVopr = "1") {
    AnswerOnScreen a;
    a.TypeVopr = typeVopr;
    a.MaxOtv = maxOtv;
    for (int k = 0; k < 7; ++k) {
        if (flags[k] != '-') a.RO[k] = flags[k] == 't';
        a.ticked[k] = ticks[k] == 'x';
    }
    a.typed = "ignored";
    return a;
}

class AnswerRule : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerRule, Decides) {
    EXPECT_EQ(IsAnswerCorrect(GetParam().a), GetParam().right) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerRule,
    ::testing::Values(
        AnswerCase{"typed exact", typed("МОСКВА", "МОСКВА"), true},
        AnswerCase{"typed other case", typed("МОСКВА", "москва"), false},
        AnswerCase{"typed trailing blank", typed("МОСКВА", "МОСКВА "), false},
        AnswerCase{"typed stored blank", typed(" 12", "12"), false},
        AnswerCase{"typed empty both", typed("", ""), true},
        AnswerCase{"typed ignores ticks",
                   [] {
                       auto a = typed("1", "1");
                       a.ticked.fill(true);
                       a.RO.fill(false);
                       return a;
                   }(),
                   true},
        AnswerCase{"rows 1..3, hidden flag 5 ignored", choice("3", "ftffttf", ".x....."), true},
        AnswerCase{"rows 1..3, extra tick 3", choice("3", "ftffttf", ".xx...."), false},
        AnswerCase{"hidden tick ignored", choice("3", "ftfffff", ".x..xxx"), true},
        AnswerCase{"empty MaxOtv compares seven", choice("", "fffffft", "......x"), true},
        AnswerCase{"empty MaxOtv, row 7 missed", choice("", "fffffft", "......."), false},
        AnswerCase{"MaxOtv 8 compares seven", choice("8", "fffffft", "......."), false},
        AnswerCase{"no right flag: nothing ticked", choice("4", "ffffttt", "......."), true},
        AnswerCase{"no right flag: one ticked", choice("4", "ffffttt", "x......"), false},
        AnswerCase{"empty flag is not right", choice("2", "-t-----", ".x....."), true},
        AnswerCase{"empty flag ticked", choice("2", "-t-----", "xx....."), false},
        AnswerCase{"TypeVopr 3 is choice", choice("1", "t------", "x......", "3"), true},
        AnswerCase{"TypeVopr empty is choice", choice("1", "t------", ".......", ""), false}));

}  // namespace

// Which commands each mode shows; the hidden check of a locked test stays hidden in a run too.
TEST(Commands, ByModeAndLock) {
    using pandrel::Commands;
    using pandrel::CommandsFor;
    const struct {
        bool graded, locked;
        Commands shown;
    } cases[] = {
        {false, false, {.check = true, .start = true, .load = true, .browse = true}},
        {false, true, {.start = true, .load = true, .browse = true}},
        {true, false, {.next = true}},
        {true, true, {.next = true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandsFor(c.graded, c.locked), c.shown) << c.graded << c.locked;
}
