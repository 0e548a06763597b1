// Every operation on a test stopped at each change it makes to the disk (a crash, a power
// cut, the plug pulled), then the editor's start: each folder is as before the operation or
// as after it, names and bytes, with no stray file.
#include "editor/fileops/fileset.h"
#include "editor/fileops/fileset_change.h"
#include "editor/fileops/operations.h"
#include "tests/editor/fileops/ops_fixture.h"
#include "tests/harness/disk.h"

#include <functional>

using plat::Answer;
using plat::BoxKind;
using testing_support::ScriptedUi;
using namespace ops_test;

namespace {

using Folders = std::map<QString, std::map<QString, QByteArray>>;

struct StopCase {
    const char* name;
    // Lays what the operation finds beside the test Физика.
    std::function<void(const QString& work)> lay;
    // Runs the operation in the working folder w with its answers.
    std::function<void(ScriptedUi& ui, const QString& w)> run;
};

class Interrupted : public Ops, public ::testing::WithParamInterface<StopCase> {
protected:
    void layAll() {
        layAfresh();
        put(inWork("ФизикаGrV3.jpg"), "Физика picture 3");
        layNeighbours(work());
        put(inWork("new.CRO"), "page head");
        GetParam().lay(work());
    }
    Folders folders() const {
        Folders f;
        for (const char* d : {"", "elsewhere", "out"}) f[d] = snapshot(inWork(d));
        return f;
    }
    // Lays the folders down as a snapshot holds them.
    void restore(const Folders& f) {
        layAfresh();
        for (const QString& name : QDir(work()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(inWork(name));
        for (const auto& [dir, files] : f)
            for (const auto& [name, bytes] : files) put(QDir(inWork(dir)).filePath(name), bytes);
    }
    // The editor's next start, and an export's next start in its folder.
    void recover() {
        korvel::RecoverFileSetChange(work());
        korvel::RecoverFileSetChange(inWork("out"));
    }
    void runIn(ScriptedUi& u) {
        QDir::setCurrent(work());
        GetParam().run(u, work() + "/");
    }
    // The folders before the operation and after it ran to its end.
    std::pair<Folders, Folders> beforeAndAfter() {
        layAll();
        const Folders before = folders();
        ScriptedUi u;
        runIn(u);
        return {before, folders()};
    }
};

std::string differences(const Folders& got, const Folders& want) {
    std::string out;
    for (const auto& [dir, files] : want) {
        const auto& have = got.at(dir);
        for (const auto& [f, bytes] : files)
            if (!have.count(f))
                out += " missing " + s(dir + "/" + f);
            else if (have.at(f) != bytes)
                out += " changed " + s(dir + "/" + f);
        for (const auto& [f, bytes] : have)
            if (!files.count(f)) out += " extra " + s(dir + "/" + f);
    }
    return out;
}

TEST_P(Interrupted, EachFolderIsAsBeforeOrAsAfter) {
    const auto [before, after] = beforeAndAfter();
    ASSERT_NE(before, after) << "the operation changed nothing";
    const QString cwd = QDir::currentPath();

    int stops = 0;
    for (int n = 1;; ++n) {
        layAll();
        const bool stopped = testing_support::StoppedAtChange(n, [&] {
            ScriptedUi u;
            runIn(u);
        });
        QDir::setCurrent(cwd);
        EXPECT_TRUE(korvel::RecoverFileSetChange(work()).isEmpty()) << "stopped at " << n;
        EXPECT_TRUE(korvel::RecoverFileSetChange(inWork("out")).isEmpty()) << "stopped at " << n;
        const Folders now = folders();
        EXPECT_TRUE(now == before || now == after)
            << "stopped at change " << n << ":\n against before:" << differences(now, before)
            << "\n against after:" << differences(now, after);
        if (!stopped) break;
        ++stops;
        ASSERT_LT(n, 500) << "the operation never ends";
    }
    EXPECT_GT(stops, 5);
}

// The power fails again while the next start puts things right: the start after that
// takes it up and still ends with each folder whole.
TEST_P(Interrupted, ARecoveryStoppedItselfIsTakenUpAgain) {
    const auto [before, after] = beforeAndAfter();
    const QString cwd = QDir::currentPath();
    int recoveryStops = 0;
    // Every third stop of the operation, and at each of those every stop of the recovery.
    for (int n = 1;; n += 3) {
        layAll();
        const bool stopped = testing_support::StoppedAtChange(n, [&] {
            ScriptedUi u;
            runIn(u);
        });
        QDir::setCurrent(cwd);
        if (!stopped) break;
        const Folders left = folders();
        for (int m = 1;; ++m) {
            restore(left);
            const bool recoveryStopped = testing_support::StoppedAtChange(m, [&] { recover(); });
            recover();
            const Folders now = folders();
            EXPECT_TRUE(now == before || now == after)
                << "stopped at " << n << ", its recovery at " << m
                << ":\n against before:" << differences(now, before)
                << "\n against after:" << differences(now, after);
            if (!recoveryStopped) break;
            ++recoveryStops;
        }
    }
    EXPECT_GT(recoveryStops, 0);
}

const StopCase kCases[] = {
    {"CopyWithWeb", [](const QString&) {},
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
         korvel::CopyTest(u, w, "Физика", true);
     }},
    {"CopyReplacingATest",
     [](const QString& work) {
         put(work + "/Химия.DB", "old table");
         put(work + "/Химия.HTML", "old page");
         put(work + "/ХимияGrV1.jpg", "old picture 1");
         put(work + "/ХимияGrV7.jpg", "old picture 7");
     },
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
         for (int i = 0; i < 3; ++i) u.expect(BoxKind::Confirmation, {}, Answer::Yes);
         korvel::CopyTest(u, w, "Физика", true);
     }},
    {"RenameWithWeb", [](const QString&) {},
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
         korvel::RenameTest(u, w, "Физика", true);
     }},
    {"DeleteWholeTest", [](const QString&) {},
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Confirmation, {}, Answer::Yes);
         korvel::DeleteTest(u, w, "Физика", korvel::DeleteScope::WholeTest);
     }},
    {"DeleteWebPart", [](const QString&) {},
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Confirmation, {}, Answer::Yes);
         korvel::DeleteTest(u, w, "Физика", korvel::DeleteScope::WebPart);
     }},
    {"ImportReplacingTheTest",
     [](const QString& work) {
         put(work + "/elsewhere/Физика.DB", QByteArray(100000, 'N'));
         put(work + "/elsewhere/Физика.HTML", "new page");
         put(work + "/elsewhere/ФизикаGrV1.jpg", "new picture");
     },
     [](ScriptedUi& u, const QString& w) {
         u.expectOpen(w + "elsewhere/Физика.DB");
         for (int i = 0; i < 3; ++i) u.expect(BoxKind::Confirmation, {}, Answer::Yes);
         korvel::ImportTest(u, w);
     }},
    {"ImportANewTest",
     [](const QString& work) {
         put(work + "/elsewhere/Химия.DB", QByteArray(100000, 'N'));
         put(work + "/elsewhere/ХимияGrV1.jpg", "new picture");
     },
     [](ScriptedUi& u, const QString& w) {
         u.expectOpen(w + "elsewhere/Химия.DB");
         korvel::ImportTest(u, w);
     }},
    {"ExportOverAnEarlierExport",
     [](const QString& work) {
         put(work + "/out/Bio.DB", "earlier export");
         put(work + "/out/BioGrV5.jpg", "earlier picture");
     },
     [](ScriptedUi& u, const QString& w) {
         u.expectSave(w + "out/Bio");
         u.expect(BoxKind::Confirmation, {}, Answer::Yes);
         korvel::ExportTest(u, w, "Физика", true, true);
     }},
    {"Create", [](const QString&) {},
     [](ScriptedUi& u, const QString& w) {
         u.expect(BoxKind::Input, {}, Answer::Ok, "Новый");
         korvel::CreateTestFromTemplate(u, w);
     }},
};

INSTANTIATE_TEST_SUITE_P(Operations, Interrupted, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
