#pragma once
// What the tests of the whole-test operations share: the start window over a fresh working
// folder, a test laid down with both halves, and views of folders and of the current test.
#include "editor/TForm3.h"
#include "platform/codec.h"
#include "tests/editor/start_window_fixture.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace ops_test {

using testing_support::get;
using testing_support::put;

inline std::string s(const QString& q) { return q.toStdString(); }

// Test names as the page holds them (the letters as numeric references).
inline const QByteArray kPhysicsRef = "&#1060&#1080&#1079&#1080&#1082&#1072";  // Физика
inline const QByteArray kChemistryRef = "&#1061&#1080&#1084&#1080&#1103";      // Химия

inline const QString kPrompt = QStringLiteral(
    "При вводе названия теста не допускаются никакие расширения типа .db Знаки "
    "<.>,</>,<\\>,<,>,<#>,<:> и т.п.  недопустимы !!!");

// A page as the generator leaves it for a test whose name the page holds as ref: a
// Windows-1251 head, the script line with qq, two picture references and a foreign one.
inline QByteArray page(const QByteArray& ref) {
    return plat::toCp1251(QStringLiteral("<html><head><title>Тест</title><script>\r\n")) +
           "var viborka=[]; var lenvib; lenvib=2; mm =\"2\"; qq=\"" + ref + "\";\r\n</SCRIPT>\r\n" +
           "<img src=\"" + ref + "GrV1.jpg\" width=100%>\r\n<img src=\"logo.jpg\">\r\n" +
           "<img src=\"" + ref + "GrV2.jpg\" width=100%>\r\n</FORM></BODY></HTML>\r\n";
}

// The sorted file names of a folder as one text, so a failure shows the whole folder.
inline std::string listing(const QString& dir) {
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    std::sort(names.begin(), names.end());
    return s(names.join(u' '));
}

// Every file of a folder with its bytes.
inline std::map<QString, QByteArray> snapshot(const QString& dir) {
    std::map<QString, QByteArray> files;
    for (const QString& f : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        files[f] = get(QDir(dir).filePath(f));
    return files;
}

inline bool sameDir(const QString& a, const QString& b) {
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

// Beside Физика: a test "Физика.2", a test "Физика2" and a test "ФизикаGrVB" whose files
// Физика's masks also match. No operation on Физика may touch them.
inline const char* kNeighbours[] = {"Физика.2.DB", "Физика2.DB", "ФизикаGrVB.DB",
                                    "ФизикаGrVBGrV1.jpg"};

inline void layNeighbours(const QString& dir) {
    for (const char* n : kNeighbours) put(QDir(dir).filePath(QString::fromUtf8(n)), n);
}

class Ops : public editor_tests::StartWindowTest {
protected:
    // Test name in dir: its table (two files) and, with web, the page and two pictures.
    void layTest(const QString& dir, const QString& name, bool web,
                 const QByteArray& ref = kPhysicsRef) {
        const QDir d(dir);
        put(d.filePath(name + ".DB"), name.toUtf8() + " table");
        put(d.filePath(name + ".VAL"), name.toUtf8() + " checks");
        if (!web) return;
        put(d.filePath(name + ".HTML"), page(ref));
        put(d.filePath(name + "GrV1.jpg"), name.toUtf8() + " picture 1");
        put(d.filePath(name + "GrV2.jpg"), name.toUtf8() + " picture 2");
    }
    // Makes the table current as Choose does, in local+web or local-only mode.
    void makeCurrent(const QString& table, bool web) {
        form->MakeTestCurrent(table);
        form->ShowTestOperations(web);
        form->GroupBox1->setVisible(true);
    }
    // The current test and the panel in one line.
    std::string current() const {
        const QString mode = form->Label2->text() == QStringLiteral("Операции с файлами:")
                                 ? QStringLiteral("web")
                                 : QStringLiteral("local");
        return s(QStringList{unit3.TestName, unit3.TestFileName, unit3.WebTestFileName,
                             form->GroupBox1->title(), mode,
                             form->GroupBox1->isHidden() ? "hidden" : "shown"}
                     .join(u'|'));
    }
    static std::string currentOf(const QString& test, const char* mode) {
        return s(test + ".db|" + test + ".db|" + test + ".HTML|Операции с тестом: <" + test +
                 ".db>|" + mode + "|shown");
    }
    std::string boxTexts() const {
        QStringList t;
        for (const plat::Box& b : ui.boxes()) t.append(b.text);
        return s(t.join(u'|'));
    }
    // Somewhere that is not the working folder, to see the operations make it current.
    void leaveWork() {
        QDir(work()).mkdir("elsewhere");
        QDir::setCurrent(inWork("elsewhere"));
    }
    bool inWorkingFolder() const { return sameDir(QDir::currentPath(), work()); }
    // An empty working folder (hidden files gone too) with empty folders "elsewhere" and
    // "out" in it, laid afresh with Физика's table and web part.
    void layAfresh() {
        for (const char* d : {"elsewhere", "out"}) {
            QDir(inWork(d)).removeRecursively();
            QDir(work()).mkdir(d);
        }
        for (const QString& f : QDir(work()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(inWork(f));
        layTest(work(), "Физика", true);
        // A table big enough to be copied in several pieces.
        put(inWork("Физика.DB"), QByteArray(150000, 'T'));
        put(inWork("new.zag"), "blank table");
    }
};

}  // namespace ops_test
