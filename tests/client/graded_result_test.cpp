// The end of a graded run: the report, the coefficient, the result file and what keeps it
// in its folder; and the key filters of the learner's name and group.
#include "client/run/graded.h"
#include "common/messages.h"
#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "tests/client/texts.h"
#include "tests/harness/disk.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cerrno>

using namespace pandrel;
using plat::Answer;
using plat::BoxKind;

namespace {

std::string u8(const QString& s) { return s.toStdString(); }

RunState finished(std::vector<int> recs, const char* marks) {
    RunState st;
    st.GradedCount = static_cast<int>(recs.size());
    st.GradedRecNos = {0};
    st.GradedRecNos.insert(st.GradedRecNos.end(), recs.begin(), recs.end());
    st.AnswerMarks = QString::fromLatin1(marks);
    st.RightCount = static_cast<int>(st.AnswerMarks.count(u'+'));
    return st;
}

QString report(const RunState& st) {
    return ResultReport(st, QStringLiteral("Иванов Иван"), QStringLiteral("10А"),
                        QStringLiteral("Физика.DB"), QStringLiteral("Время тестирования 0:03:07"));
}

const char* const kHead =
    "Иванов Иван 10А\r\n"
    "Отвечал на вопросы теста Физика.DB\r\n";

class Report : public testing_support::SuiteTest {};  // ru_RU

TEST_F(Report, LinesForOneTenTwelveAndTwentyQuestions) {
    struct {
        RunState st;
        std::string tail;
    } const cases[] = {
        {finished({4}, "+"),
         "Верных ответов: 1 из 1\r\n"
         "Время тестирования 0:03:07\r\n"
         "Пятибальный коэффициент: 5\r\n"
         "Номера заданных вопросов:\r\n"
         "1[4+] "},
        {finished({3, 1, 4, 15, 9, 2, 6, 5, 35, 8}, "++++-+-+--"),
         "Верных ответов: 6 из 10\r\n"
         "Время тестирования 0:03:07\r\n"
         "Пятибальный коэффициент: 3\r\n"
         "Номера заданных вопросов:\r\n"
         "1[3+] 2[1+] 3[4+] 4[15+] 5[9-] 6[2+] 7[6-] 8[5+] 9[35-] 10[8-] \r\n"},
        {finished({5, 12, 1, 7, 3, 9, 11, 2, 8, 10, 4, 6}, "+--+-----+--"),
         "Верных ответов: 3 из 12\r\n"
         "Время тестирования 0:03:07\r\n"
         "Пятибальный коэффициент: 1,25\r\n"
         "Номера заданных вопросов:\r\n"
         "1[5+] 2[12-] 3[1-] 4[7+] 5[3-] 6[9-] 7[11-] 8[2-] 9[8-] 10[10+] \r\n"
         "11[4-] 12[6-] "},
        {finished({20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                  "++++++++++++++------"),
         "Верных ответов: 14 из 20\r\n"
         "Время тестирования 0:03:07\r\n"
         "Оценка: 3+\r\n"
         "Номера заданных вопросов:\r\n"
         "1[20+] 2[19+] 3[18+] 4[17+] 5[16+] 6[15+] 7[14+] 8[13+] 9[12+] 10[11+] \r\n"
         "11[10+] 12[9+] 13[8+] 14[7+] 15[6-] 16[5-] 17[4-] 18[3-] 19[2-] 20[1-] \r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(u8(report(c.st)), kHead + c.tail) << "N = " << c.st.GradedCount;
}

TEST_F(Report, CoefficientInGeneralFormat) {
    struct {
        int R, N;
        const char* ru;
        const char* c;
    } const cases[] = {
        {0, 7, "0", "0"},
        {7, 7, "5", "5"},
        {1, 4, "1,25", "1.25"},
        {2, 3, "3,33333333333333", "3.33333333333333"},
        {1, 12, "0,416666666666667", "0.416666666666667"},
        {1, 100000, "0,00005", "0.00005"},  // no exponent
        {1, 3000000, "0,00000166666666666667", "0.00000166666666666667"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(u8(FivePointCoefficient(c.R, c.N)), c.ru) << c.R << "/" << c.N;
        QLocale::setDefault(QLocale::c());
        EXPECT_EQ(u8(FivePointCoefficient(c.R, c.N)), c.c) << c.R << "/" << c.N;
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }
}

TEST(GradedTexts, StartMessageAndConfirmation) {
    EXPECT_EQ(u8(common::TestStartText("Иванов Иван", "10А", "Тест Физика.DB")),
              "Иванов Иван 10А. Старт на оценку. Тест Физика.DB.");
    EXPECT_EQ(u8(ConfirmIdentityText("Иванов  Иван", "10А")),
              "Вы уверены, что Вы Иванов  Иван 10А?");
}

// ---- The result file --------------------------------------------------------------------

class ResultFile : public testing_support::SuiteTest {
protected:
    QByteArray fileBytes(const QString& group, const QString& name) {
        QFile f(QDir(driveC()).filePath("Test/" + group + "/" + name + ".txt"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << u8(f.fileName());
        return f.readAll();
    }
    // Every entry under drive C:, relative to it.
    QStringList driveContents() {
        QStringList all;
        QDirIterator it(driveC(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) all << QDir(driveC()).relativeFilePath(it.next());
        return all;
    }
};

TEST_F(ResultFile, HoldsTheReportBytesAndASecondRunReplacesIt) {
    const QString first = report(finished({5, 12, 1, 7, 3, 9, 11, 2, 8, 10, 4, 6}, "+--+-----+--"));
    const QString second = report(finished({4}, "-"));

    WriteResultFile("10А", "Иванов Иван", first);
    const QByteArray bytes = fileBytes("10А", "Иванов Иван");
    EXPECT_EQ(bytes, plat::toCp1251(first));
    EXPECT_EQ(bytes.size(), first.size());  // one byte a character, no BOM, nothing added
    EXPECT_TRUE(bytes.startsWith("\xC8\xE2\xE0\xED\xEE\xE2 \xC8\xE2\xE0\xED 10\xC0\r\n"));
    EXPECT_TRUE(bytes.endsWith("12[6-] "));

    WriteResultFile("10А", "Иванов Иван", second);
    EXPECT_EQ(fileBytes("10А", "Иванов Иван"), plat::toCp1251(second));
    EXPECT_EQ(driveContents(), (QStringList{"Test", "Test/10А", "Test/10А/Иванов Иван.txt"}));
}

// A result that the learner is asked about when its file cannot be written.
class RefusedResult : public ResultFile {
protected:
    void SetUp() override {
        ResultFile::SetUp();
        RunState st;
        BeginRun(st, 1, 3, 5);
        RecordAnswer(st, true);
        text = report(st);
    }
    // The box of a result that cannot be written, answered with a.
    void expectRefusal(Answer a) {
        ui.expect(BoxKind::Confirmation,
                  "Не удалось записать результат теста в файл C:\\Test\\10А\\Иванов Иван.txt.\r"
                  "Возможно, папка недоступна для записи или диск заполнен.\r\r"
                  "Yes - попробовать ещё раз\rNo - сохранить результат в другом месте\r"
                  "Cancel - не сохранять результат",
                  a);
    }
    QString text;
};

// A file where the group's folder should be: the folder cannot be made, the write fails.
class UnwritableResult : public RefusedResult {
protected:
    void SetUp() override {
        RefusedResult::SetUp();
        ASSERT_TRUE(QDir(driveC()).mkdir("Test"));
        plat::fs::writeBytes(blocker(), "not a folder");
    }
    QString blocker() const { return QDir(driveC()).filePath("Test/10А"); }
};

TEST_F(UnwritableResult, RetryWritesOnceTheFolderCanBeMade) {
    expectRefusal(Answer::Yes);
    ui.onShow = [&](const plat::Box&) { QFile::remove(blocker()); };  // the learner mends it
    EXPECT_TRUE(KeepResult(ui, "10А", "Иванов Иван", text));
    EXPECT_EQ(fileBytes("10А", "Иванов Иван"), plat::toCp1251(text));
    EXPECT_EQ(ui.boxes()[0].buttons,
              (QList<plat::Button>{plat::Button::Yes, plat::Button::No, plat::Button::Cancel}));
}

TEST_F(UnwritableResult, SavedElsewhereAfterACancelledDialog) {
    const QString elsewhere = inWork("stick/Иванов Иван.txt");
    ASSERT_TRUE(QDir().mkpath(inWork("stick")));
    const QString here = QDir::currentPath();
    expectRefusal(Answer::No);
    ui.expectSave(std::nullopt);  // the dialog cancelled: asked again
    expectRefusal(Answer::No);
    ui.expectSave(elsewhere).expect(
        BoxKind::Plain, "Результат теста сохранён в файл " + QDir::toNativeSeparators(elsewhere));
    EXPECT_TRUE(KeepResult(ui, "10А", "Иванов Иван", text));
    EXPECT_EQ(plat::fs::readBytes(elsewhere), plat::toCp1251(text));
    EXPECT_EQ(ui.dialogs()[0].fileName, "Иванов Иван.txt");
    EXPECT_EQ(QDir::currentPath(), here) << "line.txt is still read from the test's folder";
}

TEST_F(UnwritableResult, LostOnlyWhenTheLearnerConfirms) {
    const QString lose =
        "Результат теста не будет сохранён и пропадёт.\r"
        "Вы уверены, что не хотите его сохранить?";
    expectRefusal(Answer::Cancel);
    ui.expect(BoxKind::Confirmation, lose, Answer::No);
    expectRefusal(Answer::Closed);
    ui.expect(BoxKind::Confirmation, lose, Answer::Yes);
    EXPECT_FALSE(KeepResult(ui, "10А", "Иванов Иван", text));
    EXPECT_EQ(plat::fs::readBytes(blocker()), "not a folder");
}

// A full disk at any step of the result file's write: the learner is asked what to do with
// the result, the file of an earlier run stays whole and alone meanwhile, and a retry saves.
struct FullStep {
    const char* name;
    plat::fs::Change step;
    bool earlierRun;  // the group's folder and an earlier result file exist
};

class FullDiskResult : public RefusedResult, public ::testing::WithParamInterface<FullStep> {
protected:
    QString resultFile() const { return QDir(driveC()).filePath("Test/10А/Иванов Иван.txt"); }
    void writeEarlier() {
        ASSERT_TRUE(QDir(driveC()).mkpath("Test/10А"));
        plat::fs::writeBytes(resultFile(), "earlier run");
    }
    // Under the box: drive C: holds what it held before the write, nothing more.
    void expectUntouched(bool earlierRun) {
        if (earlierRun) {
            EXPECT_EQ(plat::fs::readBytes(resultFile()), "earlier run");
            EXPECT_EQ(plat::fs::findFiles(QFileInfo(resultFile()).path(), "*"),
                      QStringList{"Иванов Иван.txt"});
        } else {
            EXPECT_FALSE(QFileInfo::exists(resultFile()));
        }
    }
};

TEST_P(FullDiskResult, AsksAndKeepsTheEarlierFileUntilARetrySaves) {
    const FullStep& c = GetParam();
    if (c.earlierRun) writeEarlier();
    testing_support::FailingSteps full(c.step, ENOSPC, 1);
    expectRefusal(Answer::Yes);
    ui.onShow = [&](const plat::Box&) { expectUntouched(c.earlierRun); };
    EXPECT_TRUE(KeepResult(ui, "10А", "Иванов Иван", text));
    EXPECT_EQ(full.failed(), 1);
    EXPECT_EQ(plat::fs::readBytes(resultFile()), plat::toCp1251(text));
    EXPECT_EQ(driveContents(), (QStringList{"Test", "Test/10А", "Test/10А/Иванов Иван.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FullDiskResult,
    ::testing::Values(FullStep{"Create", plat::fs::Change::Create, true},
                      FullStep{"Write", plat::fs::Change::Write, true},
                      FullStep{"Sync", plat::fs::Change::Sync, true},
                      FullStep{"Close", plat::fs::Change::Close, true},
                      FullStep{"Rename", plat::fs::Change::Rename, true},
                      // A folder that cannot be made, or made and not synced into its parent.
                      FullStep{"MakeFolder", plat::fs::Change::MakeFolder, false},
                      FullStep{"SyncFolder", plat::fs::Change::SyncFolder, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Drive C:'s Test folder on a real disk with no room left: the box comes, the earlier file
// stays whole, and the result goes elsewhere.
TEST_F(RefusedResult, OnARealFullDiskIsSavedElsewhere) {
    testing_support::SmallDisk disk(QDir(driveC()).filePath("Test"), 64);
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    ASSERT_TRUE(QDir(driveC()).mkpath("Test/10А"));
    const QString earlier = QDir(driveC()).filePath("Test/10А/Иванов Иван.txt");
    plat::fs::writeBytes(earlier, "earlier run");
    disk.fill();
    const QString elsewhere = inWork("Иванов Иван.txt");
    expectRefusal(Answer::No);
    ui.expectSave(elsewhere).expect(
        BoxKind::Plain, "Результат теста сохранён в файл " + QDir::toNativeSeparators(elsewhere));
    EXPECT_TRUE(KeepResult(ui, "10А", "Иванов Иван", text));
    EXPECT_EQ(plat::fs::readBytes(earlier), "earlier run");
    EXPECT_EQ(plat::fs::findFiles(QFileInfo(earlier).path(), "*"), QStringList{"Иванов Иван.txt"});
    EXPECT_EQ(plat::fs::readBytes(elsewhere), plat::toCp1251(text));
}

// ---- Names and groups that would leave "C:\Test\<group>" --------------------------------

struct IdentityCase {
    const char* name;
    const char* group;
    QString message;  // empty: accepted
};

class Identity : public ResultFile, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(Identity, UnsafeTextIsRefusedAtTheStartAndNeverWritten) {
    const IdentityCase& c = GetParam();
    const QString name = QString::fromUtf8(c.name), group = QString::fromUtf8(c.group);
    EXPECT_EQ(u8(StartRefusal(5, name, group)), u8(c.message));
    if (c.message.isEmpty()) {
        WriteResultFile(group, name, "x");
        EXPECT_EQ(fileBytes(group, name), "x");
        return;
    }
    if (c.message == texts::kIdentityMissing) return;
    // Checked again when writing: the inputs stay editable during the run.
    try {
        WriteResultFile(group, name, "x");
        ADD_FAILURE() << "written";
    } catch (const plat::FileError& e) {
        EXPECT_EQ(u8(e.text()), u8(c.message));
    }
    EXPECT_EQ(driveContents(), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Graded, Identity,
    ::testing::Values(IdentityCase{"Иванов Иван", "10А", {}},
                      IdentityCase{"Petrov Petr ", "Kurs 2 gr 5", {}},
                      IdentityCase{" ", "10А", {}},  // blanks count as text and make a file " .txt"
                      IdentityCase{"", "10А", texts::kIdentityMissing},
                      IdentityCase{"Иванов", "", texts::kIdentityMissing},
                      IdentityCase{"..\\..\\x", "10А", texts::kNameUnsafe},
                      IdentityCase{"../x", "10А", texts::kNameUnsafe},
                      IdentityCase{"a/b", "10А", texts::kNameUnsafe},
                      IdentityCase{"C:x", "10А", texts::kNameUnsafe},
                      IdentityCase{"a*b", "10А", texts::kNameUnsafe},
                      IdentityCase{"a?", "10А", texts::kNameUnsafe},
                      IdentityCase{"a\"b", "10А", texts::kNameUnsafe},
                      IdentityCase{"<a>", "10А", texts::kNameUnsafe},
                      IdentityCase{"a|b", "10А", texts::kNameUnsafe},
                      IdentityCase{"a\tb", "10А", texts::kNameUnsafe},
                      IdentityCase{"a..b", "10А", texts::kNameUnsafe},
                      IdentityCase{"Иван\xF0\x9F\x98\x80", "10А", texts::kNameUnsafe},
                      IdentityCase{"Иванов", "..", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "...", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "   ", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "10А.", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "10А ", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "a\\b", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "../x", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "C:", texts::kGroupUnsafe},
                      IdentityCase{"Иванов", "a\nb", texts::kGroupUnsafe}));

// ---- Key filters ------------------------------------------------------------------------

TEST(GradedKeys, NameAndGroupLetOnlyTheirCharactersThrough) {
    struct {
        char16_t c;
        bool name, group;
    } const cases[] = {
        {u'Ж', true, true},   {u'А', true, true},   {u'я', true, true},    {u'Q', true, true},
        {u'z', true, true},   {u' ', true, true},   {8, true, true},       {u'7', false, true},
        {u'ё', false, false}, {u'Ё', false, false}, {u'-', false, false},  {13, false, false},
        {3, false, false},    {22, false, false},   {24, false, false},    {26, false, false},
        {u'.', false, false}, {u'/', false, false}, {u'\\', false, false}, {u'é', false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNameKey(QChar(c.c)), c.name) << "U+" << std::hex << int(c.c);
        EXPECT_EQ(IsGroupKey(QChar(c.c)), c.group) << "U+" << std::hex << int(c.c);
        EXPECT_FALSE(IsComboKey(QChar(c.c)));
    }
}

}  // namespace
