// The generated page taken in headless Chromium by tests/browser/drive.mjs: start, answer,
// "Далее", "Оценка", with the counters, the draw, the pictures and no script error.
#include "tests/editor/web/web_editor_fixture.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

using namespace testing_support;
using namespace web_test;

namespace {

class WebTestInBrowser : public WebEditorTest {
protected:
    // Generates the page of the open test and takes it in the browser once per run mode.
    QJsonObject takeInBrowser(const QJsonObject& answers, const QStringList& runs) {
        editor().Button1Click();
        EXPECT_EQ(shell.opened.size(), 1);
        if (shell.opened.isEmpty()) return {};
        const QString page = QDir(work()).absoluteFilePath(shell.opened.first());

        const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (node.isEmpty() || chromium.isEmpty()) {
            ADD_FAILURE() << "node and chromium are needed (tools/install-deps.sh installs them)";
            return {};
        }
        // The build runs from its folder, so a relative source name is relative to it.
        const QString script =
            QDir(QCoreApplication::applicationDirPath() + "/..")
                .absoluteFilePath(QStringLiteral(__FILE__) + "/../../../browser/drive.mjs");
        const QJsonObject plan{{"chromium", chromium},
                               {"url", QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)},
                               {"answers", answers},
                               {"runs", QJsonArray::fromStringList(runs)}};
        put(inWork("plan.json"), QJsonDocument(plan).toJson());

        QProcess p;
        p.start(node, {QDir::cleanPath(script), inWork("plan.json")});
        if (!p.waitForFinished(150000)) {
            p.kill();
            ADD_FAILURE() << "the browser run did not end";
            return {};
        }
        const QByteArray err = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
        const QJsonObject report = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        EXPECT_EQ(report["errors"].toArray(), QJsonArray()) << "script errors on the page";
        return report;
    }

    static QList<int> ints(const QJsonValue& v) {
        QList<int> out;
        for (const QJsonValue& x : v.toArray())
            out.append(x.isString() ? x.toString().toInt() : x.toInt());
        return out;
    }
    static QList<int> counting(int from, int to) {
        QList<int> out;
        for (int k = from; k <= to; ++k) out.append(k);
        return out;
    }
    // The wrong-answer counter after each "Далее", from whether each place was right.
    static QList<int> wrongCounts(const QList<bool>& right) {
        QList<int> out{0};
        for (bool r : right) out.append(out.last() + (r ? 0 : 1));
        return out;
    }
    // Whether the answer at each place of a run is right, from the run's mode.
    static QList<bool> rightByMode(const QString& mode, int places) {
        QList<bool> out;
        for (int p = 0; p < places; ++p)
            out.append(mode == "right" || (mode == "mixed" && p % 2 == 0));
        return out;
    }
};

QJsonObject radio(int right, int rows) {
    return {{"kind", "radio"}, {"right", right}, {"rows", rows}};
}

TEST_F(WebTestInBrowser, EveryKindOfQuestionCountsAndMarks) {
    QImage picture(300, 120, QImage::Format_RGB32);
    picture.fill(qRgb(20, 90, 160));
    Record rich = choice("", {"Fe", "Cu", "Al"}, {1, 3});
    rich["VoprStyle"] = "2";
    rich["VoprRTF"] = QByteArray(
        "{\\rtf1\\ansi\\ansicpg1251 \\'c8\\'ee\\'ed Fe{\\super 3+}\\par "
        "\\'c2\\'fb\\'e1\\'e5\\'f0\\'e8\\'f2\\'e5}");
    // A name with a numero sign, "#" and "%", which the picture's address must carry.
    openTest(
        QStringLiteral("Химия №1 #a%"),
        {
            choice(QStringLiteral("Столица Франции?"), {"Париж", "Лондон", "Рим"}, {1}),
            rich,
            pictureChoice(picture, {"синий", "красный"}, {1}),
            typed(QStringLiteral("Фамилия?"), QStringLiteral("O'Neil")),
            typed(QStringLiteral("Заряд иона Fe@<sup>3+</sup>@?"), QStringLiteral("№5 \"A&B\" \\")),
            typed(QStringLiteral("Кто открыл закон?"), QStringLiteral("Ньютон")),
            choice(QStringLiteral("Ни одного?"), {"a", "b"}, {}),
            choice(QStringLiteral("Согласны?"), {"Да"}, {1}),
        });
    const QJsonObject answers{
        {"1", radio(1, 3)},
        {"2", QJsonObject{{"kind", "check"}, {"right", QJsonArray{1, 3}}, {"rows", 3}}},
        {"3", radio(1, 2)},
        {"4", QJsonObject{{"kind", "typed"}, {"type", "o'neil"}}},
        {"5", QJsonObject{{"kind", "typed"}, {"type", "№5 \"a&b\" \\"}}},
        {"6", QJsonObject{{"kind", "typed"}, {"type", QStringLiteral("НЬЮТОН")}}},
        {"7", QJsonObject{{"kind", "check"}, {"right", QJsonArray{}}, {"rows", 2}}},
        {"8", radio(1, 1)},
    };
    const QJsonObject report = takeInBrowser(answers, {"right", "wrong", "mixed", "skip"});
    const QJsonArray runs = report["runs"].toArray();
    ASSERT_EQ(runs.size(), 4);

    const struct {
        const char* mode;
        QString result;
    } want[] = {
        {"right", QStringLiteral("Верных ответов: 8 из 8\nПятибальный коэффициент: 5")},
        {"wrong", QStringLiteral("Верных ответов: 0 из 8\nПятибальный коэффициент: 0")},
        {"mixed", QStringLiteral("Верных ответов: 4 из 8\nПятибальный коэффициент: 2.5")},
        // Nothing chosen is wrong, also where row 1 or a lone row is the right one; only
        // the question with no right row is right untouched.
        {"skip", QStringLiteral("Верных ответов: 1 из 8\nПятибальный коэффициент: 0.625")},
    };
    for (int r = 0; r < 4; ++r) {
        const QJsonObject run = runs[r].toObject();
        SCOPED_TRACE(want[r].mode);
        QList<int> shown = ints(run["shown"]);
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, counting(1, 8));
        EXPECT_EQ(run["closing"].toInt(), 9);
        EXPECT_TRUE(run["startHidden"].toBool());
        EXPECT_TRUE(run["markShown"].toBool());
        EXPECT_EQ(ints(run["f"]), counting(1, 9));
        QList<bool> right = rightByMode(want[r].mode, 8);
        if (want[r].mode == QString("skip"))
            for (int p = 0; p < 8 && p < ints(run["shown"]).size(); ++p)
                right[p] = ints(run["shown"])[p] == 7;
        EXPECT_EQ(ints(run["ff"]), wrongCounts(right));
        // The decimal separator is the browser's locale's.
        EXPECT_EQ(run["result"].toString().replace(u',', u'.').toStdString(),
                  want[r].result.toStdString());
        const QJsonArray images = run["images"].toArray();
        ASSERT_EQ(images.size(), 1);
        EXPECT_TRUE(images[0].toObject()["loaded"].toBool());
        EXPECT_EQ(images[0].toObject()["width"].toInt(), 300);
        EXPECT_EQ(images[0].toObject()["height"].toInt(), 120);
    }
}

TEST_F(WebTestInBrowser, TwentyOfTwentyFiveAreDrawnFromAllAndMarked) {
    QList<Record> records;
    QJsonObject answers;
    for (int i = 1; i <= 25; ++i) {
        const int right = i % 3 + 1;
        records.append(choice(QStringLiteral("Вопрос %1").arg(i), {"a", "b", "c"}, {right}));
        answers[QString::number(i)] = radio(right, 3);
    }
    openTest("Bio25", records);
    QStringList modes{"right", "wrong", "mixed"};
    for (int k = 0; k < 12; ++k) modes.append("right");
    const QJsonArray runs = takeInBrowser(answers, modes)["runs"].toArray();
    ASSERT_EQ(runs.size(), modes.size());

    const QString marks[] = {QStringLiteral("Верных ответов: 20 из 20\nОценка: 5+"),
                             QStringLiteral("Верных ответов: 0 из 20\nОценка: 2"),
                             QStringLiteral("Верных ответов: 10 из 20\nОценка: 3-")};
    QSet<int> everShown;
    for (int r = 0; r < runs.size(); ++r) {
        const QJsonObject run = runs[r].toObject();
        SCOPED_TRACE(r);
        const QList<int> shown = ints(run["shown"]);
        EXPECT_EQ(shown.size(), 20);
        EXPECT_EQ(QSet<int>(shown.begin(), shown.end()).size(), 20);
        for (int i : shown) EXPECT_TRUE(i >= 1 && i <= 25) << i;
        everShown.unite(QSet<int>(shown.begin(), shown.end()));
        EXPECT_EQ(run["closing"].toInt(), 26);
        EXPECT_EQ(ints(run["f"]), counting(1, 21));
        EXPECT_EQ(ints(run["ff"]), wrongCounts(rightByMode(modes[r], 20)));
        EXPECT_EQ(run["result"].toString().toStdString(), marks[r < 3 ? r : 0].toStdString());
    }
    EXPECT_EQ(everShown.size(), 25) << "a question never came up in 15 draws";
}

}  // namespace
