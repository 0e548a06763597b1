// The graded run's rules: the count box, the choice of N, the draw, the steps of a run,
// the marks and the clock.
#include "client/run/graded.h"
#include "platform/errors.h"
#include "platform/guard.h"
#include "tests/client/texts.h"
#include "tests/harness/harness.h"

#include <QLocale>
#include <algorithm>
#include <map>
#include <set>

using namespace pandrel;
using plat::Answer;
using plat::BoxKind;
using testing_support::ScriptedUi;

namespace {

std::string u8(const QString& s) { return s.toStdString(); }

const QString kTooManyOf15 = QStringLiteral(
    "слишком много вопросов в выборке,\rвопросов должно не больше чем 15 - \r"
    "число вопросов в данном тесте \rПопробуйте еще раз!!!");

struct CountCase {
    const char* text;
    int count;        // when accepted
    QString message;  // when refused
};

class CountText : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountText, IsAcceptedOrRefusedWithItsMessage) {
    const CountCase& c = GetParam();
    const CountCheck r = CheckCount(QString::fromUtf8(c.text), 15);
    EXPECT_EQ(u8(r.message), u8(c.message)) << "text '" << c.text << "'";
    if (c.message.isEmpty()) {
        EXPECT_EQ(r.count, c.count);
    }
}

INSTANTIATE_TEST_SUITE_P(Graded, CountText,
                         ::testing::Values(CountCase{"", 0, texts::kCountEmpty},
                                           CountCase{" 7", 0, texts::kCountNotNumber},
                                           CountCase{"7 ", 0, texts::kCountNotNumber},
                                           CountCase{"+7", 0, texts::kCountNotNumber},
                                           CountCase{"-7", 0, texts::kCountNotNumber},
                                           CountCase{"7a", 0, texts::kCountNotNumber},
                                           CountCase{"0", 0, texts::kCountZero},
                                           CountCase{"000", 0, texts::kCountZero},
                                           CountCase{"007", 7, {}}, CountCase{"15", 15, {}},
                                           CountCase{"16", 0, kTooManyOf15},
                                           CountCase{"2147483647", 0, kTooManyOf15}));

TEST(GradedCount, DigitsBeyond32BitsFailAsTheConversionDoes) {
    for (const char* text : {"2147483648", "99999999999"}) {
        try {
            CheckCount(QString::fromLatin1(text), 15);
            ADD_FAILURE() << text << " was converted";
        } catch (const plat::ConvertError& e) {
            EXPECT_EQ(u8(e.text()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(GradedCount, IsDigitsOnly) {
    EXPECT_TRUE(IsDigitsOnly(QString()));
    EXPECT_TRUE(IsDigitsOnly(QStringLiteral("0123456789")));
    for (const char* t : {" 1", "1 ", "+1", "1.5", "1,5", "$F", "١"})  // Arabic-Indic one too
        EXPECT_FALSE(IsDigitsOnly(QString::fromUtf8(t))) << t;
}

// ---- The choice of N --------------------------------------------------------------------

class ChoiceTest : public ::testing::Test {
protected:
    // The presets of the count boxes shown, in order.
    QStringList presets() const {
        QStringList p;
        for (const plat::Box& b : ui.boxes())
            if (b.kind == BoxKind::Input) {
                EXPECT_EQ(u8(b.caption), u8(texts::kCountCaption));
                p << b.preset;
            }
        return p;
    }
    ScriptedUi ui;
};

TEST_F(ChoiceTest, StandardTestIsOfferedFromTwentyQuestions) {
    ui.expect(BoxKind::Confirmation, texts::kStandardTestQuestion, Answer::Yes);
    const CountChoice c = ChooseCount(ui, 20);
    EXPECT_EQ(c.count, 20);
    EXPECT_FALSE(c.lastAtOnce);
}

TEST_F(ChoiceTest, NineteenQuestionsGoStraightToTheCountBox) {
    ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Cancel);
    EXPECT_EQ(ChooseCount(ui, 19).count, 19);
    EXPECT_EQ(presets(), QStringList{"19"});
}

TEST_F(ChoiceTest, NoOrClosedLeadToTheCountBoxPresetToFifty) {
    for (const Answer a : {Answer::No, Answer::Closed}) {
        ScriptedUi local;
        local.expect(BoxKind::Confirmation, texts::kStandardTestQuestion, a)
            .expect(BoxKind::Input, texts::kCountPrompt, Answer::Cancel);
        EXPECT_EQ(ChooseCount(local, 120).count, 50);  // Cancel gives the preset
        ASSERT_EQ(local.boxes().size(), 2);
        EXPECT_EQ(u8(local.boxes()[1].preset), "50");
    }
}

TEST_F(ChoiceTest, RefusedCountsAskAgainWithThePresetNotTheTypedText) {
    ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "")
        .expect(BoxKind::Plain, texts::kCountEmpty)
        .expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "16")
        .expect(BoxKind::Plain, kTooManyOf15)
        .expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "1");
    const CountChoice c = ChooseCount(ui, 15);
    EXPECT_EQ(c.count, 1);
    EXPECT_TRUE(c.lastAtOnce);
    EXPECT_EQ(presets(), (QStringList{"15", "15", "15"}));
}

TEST_F(ChoiceTest, TwentyTypedAfterNoIsAStandardLength) {
    ui.expect(BoxKind::Confirmation, texts::kStandardTestQuestion, Answer::No)
        .expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "20");
    EXPECT_EQ(ChooseCount(ui, 30).count, 20);
}

TEST_F(ChoiceTest, OversizedCountEndsTheStartInTheStandardErrorBox) {
    ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "99999999999")
        .expect(BoxKind::StandardError, "'99999999999' is not a valid integer value");
    EXPECT_FALSE(plat::guarded(ui, [&] { ChooseCount(ui, 15); }));
}

TEST_F(ChoiceTest, EmptyTestIsRefusedInsteadOfAskingForever) {
    EXPECT_EQ(u8(StartRefusal(0, "Иванов", "10А")), u8(texts::kEmptyTest));
    ui.expect(BoxKind::StandardError, texts::kEmptyTest);
    EXPECT_FALSE(plat::guarded(ui, [&] { ChooseCount(ui, 0); }));
}

// ---- The draw and the steps of a run ----------------------------------------------------

struct DrawCase {
    int N;
    int QuestionCount;
};

class Draw : public ::testing::TestWithParam<DrawCase> {};

TEST_P(Draw, GivesDifferentRecordsOfTheTest) {
    const auto [N, Q] = GetParam();
    for (std::uint32_t seed : {0u, 1u, 86399999u}) {
        RunState st;
        DrawQuestions(st, N, Q, seed);
        ASSERT_EQ(st.GradedRecNos.size(), static_cast<size_t>(Q) + 1);
        std::set<int> seen(st.GradedRecNos.begin() + 1, st.GradedRecNos.begin() + 1 + N);
        EXPECT_EQ(seen.size(), static_cast<size_t>(N)) << "a record was drawn twice";
        EXPECT_GE(*seen.begin(), 1);
        EXPECT_LE(*seen.rbegin(), Q);
    }
}

// N = Q lists every record; 1500 is beyond the 999 places of the classic list.
INSTANTIATE_TEST_SUITE_P(Graded, Draw,
                         ::testing::Values(DrawCase{1, 1}, DrawCase{20, 20}, DrawCase{20, 120},
                                           DrawCase{50, 51}, DrawCase{1500, 1500},
                                           DrawCase{1000, 100000}));

TEST(GradedDraw, SameSeedSameDrawAndEveryRecordEquallyLikely) {
    RunState a, b;
    DrawQuestions(a, 10, 30, 4242);
    DrawQuestions(b, 10, 30, 4242);
    EXPECT_EQ(a.GradedRecNos, b.GradedRecNos);

    // The first question over many runs: each of 10 records near a tenth of the time.
    std::map<int, int> firsts;
    for (std::uint32_t seed = 0; seed < 20000; ++seed) {
        RunState st;
        DrawQuestions(st, 1, 10, seed);
        ++firsts[st.GradedRecNos[1]];
    }
    ASSERT_EQ(firsts.size(), 10u);
    for (const auto& [rec, n] : firsts) {
        EXPECT_GE(rec, 1);
        EXPECT_LE(rec, 10);
        EXPECT_NEAR(n, 2000, 250) << "record " << rec;
    }
}

TEST(GradedSteps, RunCountsMarksAndSaysWhichQuestionIsLast) {
    RunState st;
    st.TimeSec = st.TimeMin = st.TimeHour = 7;
    st.AnswerMarks = QStringLiteral("+-+");  // left over from a failed end
    BeginRun(st, 3, 5, 1);
    EXPECT_TRUE(st.GradedMode);
    EXPECT_EQ(st.TimeSec + st.TimeMin + st.TimeHour, 0);
    EXPECT_TRUE(st.AnswerMarks.isEmpty());
    EXPECT_EQ(st.GradedPos, 1);
    EXPECT_EQ(st.RightCount, 0);

    EXPECT_EQ(RecordAnswer(st, false), Step::Next);
    EXPECT_EQ(RecordAnswer(st, true), Step::Last);
    EXPECT_EQ(RecordAnswer(st, true), Step::End);
    EXPECT_EQ(u8(st.AnswerMarks), "-++");
    EXPECT_EQ(st.RightCount, 2);

    RunState one;
    BeginRun(one, 1, 5, 1);
    EXPECT_EQ(RecordAnswer(one, false), Step::End);
    EXPECT_EQ(one.RightCount, 0);
}

TEST(GradedSteps, FinishClearsTheRunButNotTheClock) {
    RunState st;
    BeginRun(st, 2, 2, 9);
    RecordAnswer(st, true);
    ClockTick(st);
    FinishRun(st);
    EXPECT_FALSE(st.GradedMode);
    EXPECT_TRUE(st.AnswerMarks.isEmpty());
    EXPECT_EQ(st.TimeSec, 1);
}

TEST(GradedMarks, MarkOf20) {
    const char* const expected[21] = {"2",  "2", "2", "2",  "2",  "2", "2",  "2",  "2", "2", "3-",
                                      "3-", "3", "3", "3+", "4-", "4", "4+", "5-", "5", "5+"};
    for (int r = 0; r <= 20; ++r) EXPECT_EQ(u8(MarkOf20(r)), expected[r]) << "R = " << r;
}

// ---- The clock --------------------------------------------------------------------------

// Under the Russian locale, whose long format Qt gives as HH:mm:ss, the clock reads H:mm:ss.
class Clock : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    static QString tick(RunState& st, long n) {
        QString label;
        for (long i = 0; i < n; ++i) label = ClockTick(st);
        return label;
    }
};

TEST_F(Clock, CountsTicksAcrossMinutesHoursAndDays) {
    struct {
        long ticks;
        const char* label;
    } const cases[] = {
        {59, "Время тренировки 0:00:59"},     {60, "Время тренировки 0:01:00"},
        {3600, "Время тренировки 1:00:00"},   {86399, "Время тренировки 23:59:59"},
        {86400, "Время тренировки 24:00:00"}, {90061, "Время тренировки 25:01:01"},
    };
    for (const auto& c : cases) {
        RunState st;
        EXPECT_EQ(u8(tick(st, c.ticks)), c.label) << c.ticks << " ticks";
    }
}

TEST_F(Clock, GradedModeChangesTheLabelAtTheNextTick) {
    RunState st;
    tick(st, 100);
    BeginRun(st, 1, 1, 0);
    EXPECT_EQ(u8(ClockTick(st)), "Время тестирования 0:00:01");
}

}  // namespace
