// What of a question shows for its form and answer kind, the rule the editor, the client and
// the web page share.
#include "common/display.h"

#include <gtest/gtest.h>

using namespace common;

namespace {

struct DisplayCase {
    const char* style;
    const char* type;
    const char* maxOtv;
    QuestionStyle area;
    bool enlarge;
    AnswerKind answer;
    int rows;
};

TEST(QuestionDisplayRule, StylesAnswerKindsAndCounts) {
    using S = QuestionStyle;
    using A = AnswerKind;
    const DisplayCase cases[] = {
        {"1", "1", "4", S::Text, false, A::Choice, 4},
        {"2", "1", "1", S::Rtf, true, A::Choice, 1},
        {"3", "1", "7", S::Picture, true, A::Choice, 7},
        // A typed answer has row 1 only, whatever MaxOtv holds.
        {"1", "2", "5", S::Text, false, A::Typed, 1},
        {"3", "2", "", S::Picture, true, A::Typed, 1},
        // No valid count: all seven rows.
        {"1", "1", "", S::Text, false, A::Choice, 7},
        {"1", "1", "0", S::Text, false, A::Choice, 7},
        {"1", "1", "8", S::Text, false, A::Choice, 7},
        // Any other answer kind is a choice.
        {"2", "", "2", S::Rtf, true, A::Choice, 2},
        {"2", "3", "3", S::Rtf, true, A::Choice, 3},
        // Any other style: no question control, no enlarge button; the answers as usual.
        {"", "1", "3", S::Invalid, false, A::Choice, 3},
        {"4", "2", "3", S::Invalid, false, A::Typed, 1},
        {"0", "", "", S::Invalid, false, A::Choice, 7},
    };
    for (const DisplayCase& c : cases) {
        const QuestionDisplay d = questionDisplay(c.style, c.type, c.maxOtv);
        const std::string what = std::string(c.style) + "/" + c.type + "/" + c.maxOtv;
        EXPECT_EQ(d.area, c.area) << what;
        EXPECT_EQ(d.enlarge, c.enlarge) << what;
        EXPECT_EQ(d.answer, c.answer) << what;
        EXPECT_EQ(d.checkBoxes(), c.answer == A::Choice) << what;
        for (int k = 0; k <= kVariants + 1; ++k)
            EXPECT_EQ(d.rowShown(k), k >= 1 && k <= c.rows) << what << " row " << k;
    }
}

TEST(QuestionDisplayRule, EveryCountFromOneToSeven) {
    for (int n = 1; n <= kVariants; ++n)
        EXPECT_EQ(questionDisplay("1", "1", QString::number(n)).rows, n);
}

}  // namespace
