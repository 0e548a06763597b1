// The question record's value rules, the picture rule, the fixed values, the opening rules
// and the blank table the build writes.
#include "common/question.h"

#include "common/fixed.h"
#include "common/opening.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/picture.h"
#include "platform/errors.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace common;
using plat::db::ConfigMode;
using plat::db::Session;
using plat::db::Table;

namespace {

TEST(QuestionRules, ValuesAsEveryReaderTreatsThem) {
    struct {
        const char* value;
        AnswerKind kind;
        int variants;
        QuestionStyle style;
    } cases[] = {
        {"1", AnswerKind::Choice, 1, QuestionStyle::Text},
        {"2", AnswerKind::Typed, 2, QuestionStyle::Rtf},
        {"3", AnswerKind::Choice, 3, QuestionStyle::Picture},
        {"4", AnswerKind::Choice, 4, QuestionStyle::Invalid},
        {"7", AnswerKind::Choice, 7, QuestionStyle::Invalid},
        {"0", AnswerKind::Choice, 7, QuestionStyle::Invalid},
        {"8", AnswerKind::Choice, 7, QuestionStyle::Invalid},
        {"", AnswerKind::Choice, 7, QuestionStyle::Invalid},
        {"22", AnswerKind::Choice, 7, QuestionStyle::Invalid},
        {" 2", AnswerKind::Choice, 7, QuestionStyle::Invalid},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(answerKind(c.value), c.kind) << c.value;
        EXPECT_EQ(variantCount(c.value), c.variants) << c.value;
        EXPECT_EQ(questionStyle(c.value), c.style) << c.value;
    }
}

TEST(QuestionRules, PictureBlobInEitherForm) {
    QImage img(3, 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QByteArray bmp = plat::bmpBytes(img);
    auto prefixed = [&](quint32 len, quint16 a = 1, quint16 b = 256) {
        QByteArray p;
        for (int i = 0; i < 2; ++i) p.append(char((a >> (8 * i)) & 0xff));
        for (int i = 0; i < 2; ++i) p.append(char((b >> (8 * i)) & 0xff));
        for (int i = 0; i < 4; ++i) p.append(char((len >> (8 * i)) & 0xff));
        return p + bmp;
    };
    EXPECT_EQ(bitmapBytes(bmp), bmp);
    EXPECT_EQ(bitmapBytes(prefixed(quint32(bmp.size()))), bmp);
    EXPECT_TRUE(bitmapBytes(prefixed(quint32(bmp.size()) + 1)).isEmpty());  // length must match
    EXPECT_TRUE(bitmapBytes(prefixed(quint32(bmp.size()), 2)).isEmpty());
    EXPECT_TRUE(bitmapBytes("\x89PNG....").isEmpty());
    EXPECT_TRUE(bitmapBytes({}).isEmpty());
}

TEST(FixedValues, AsTheProgramsShareThem) {
    EXPECT_EQ(kMasterPassword.size(), 12);
    EXPECT_EQ(kAliasName, "sdb");
    qputenv("TESTSUITE_DRIVE_C", "/tmp/driveC-fixed");
    EXPECT_EQ(netControlDir(), "/tmp/driveC-fixed/Test");
}

class Opening : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        s.setNetFileDir(driveC());
        plat::db::createTableFile(inWork("Физика.DB"), kMasterPassword, templateFields());
    }
    Session s;
    Table t{s};
};

TEST_F(Opening, OpensWithTheMasterPasswordAndRestoresTheMode) {
    ConfigMode during = ConfigMode::All;
    int defined = 0;
    openQuestionTable(t, "Физика.DB", {true, ""}, [&] {
        ++defined;
        during = s.configMode();
    });
    EXPECT_TRUE(t.isActive());
    EXPECT_EQ(during, ConfigMode::SessionOnly);
    EXPECT_EQ(s.configMode(), ConfigMode::All);
    EXPECT_EQ(defined, 1);
    EXPECT_TRUE(s.isAlias("sdb"));
    EXPECT_EQ(s.passwords(), QStringList{kMasterPassword});
    EXPECT_EQ(t.fields().size(), 21u);

    // The editor's second activation: no alias, the password again.
    t.close();
    openQuestionTable(t, "Физика.DB", {false, ""});
    EXPECT_EQ(s.passwords(), QStringList{kMasterPassword});

    // A new record takes the template's defaults.
    t.insert();
    EXPECT_EQ(t.fieldByName(field::VoprStyle).asString(), "1");
    EXPECT_EQ(t.fieldByName(field::TypeVopr).asString(), "1");
    EXPECT_EQ(t.fieldByName(field::MaxOtv).asString(), "4");
    EXPECT_TRUE(t.fieldByName(field::RO(1)).isNull());
}

TEST_F(Opening, AFailedStepLeavesTheTableClosedAndTheModeRestored) {
    s.addStandardAlias("sdb", "", "PARADOX");
    bool defined = false;
    EXPECT_THROW(openQuestionTable(t, "Физика.DB", {true, "/x"}, [&] { defined = true; }),
                 plat::DbError);
    EXPECT_FALSE(defined);
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(s.configMode(), ConfigMode::All);

    // A table without one of the question record's fields.
    auto defs = questionFields();
    defs.removeAt(11);  // RO1
    plat::db::createTableFile(inWork("Old.DB"), kMasterPassword, defs);
    try {
        openQuestionTable(t, "Old.DB", {false, ""});
        FAIL() << "opened";
    } catch (const plat::DbError& e) {
        EXPECT_TRUE(e.text().contains("нет поля RO1")) << e.what();
        EXPECT_TRUE(e.text().contains("Old.DB")) << e.what();
    }
    EXPECT_EQ(s.configMode(), ConfigMode::All);
}

TEST_F(Opening, LongQuestionFromTheMemoIsStoredAsItsFirst255) {
    openQuestionTable(t, "Физика.DB", {false, ""});
    plat::DataSource ds(&t, &ui);
    plat::DBMemo memo;
    memo.setDataSource(&ds);
    memo.setDataField(field::Vopr);
    QString text;
    for (int i = 0; i < 300; ++i) text += QChar(u'а' + i % 32);
    t.insert();
    memo.setPlainText(text);
    t.post();
    t.close();
    openQuestionTable(t, "Физика.DB", {false, ""});
    EXPECT_EQ(t.fieldByName(field::Vopr).asString(), text.left(255));
}

TEST(Template, BuiltBlankTableIsEncryptedAndHoldsOneQuestionOfTheDefaults) {
    const QString zag = QCoreApplication::applicationDirPath() + "/../korvel/new.zag";
    if (!QFile::exists(zag)) GTEST_SKIP() << "new.zag not built";
    QProcess p;
    p.start("sqlite3", {zag, "SELECT count(*) FROM sqlite_master"});
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("file is not a database"));

    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(zag, dir.filePath("N.DB")));
    Session s;
    s.setNetFileDir(dir.path());
    Table t(s);
    openQuestionTable(t, dir.filePath("N.DB"), {false, ""});
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName(field::Number).asString(), "1");
    EXPECT_EQ(t.fieldByName(field::VoprStyle).asString(), "1");
    EXPECT_EQ(t.fieldByName(field::TypeVopr).asString(), "1");
    EXPECT_EQ(t.fieldByName(field::MaxOtv).asString(), "4");
    EXPECT_TRUE(t.fieldByName(field::Vopr).isNull());
}

}  // namespace
