// Moving between questions in the question editor, with the bound controls loaded and
// then also drawn: picture questions of about 1 MB each, and small text questions, against
// the storage library alone reading the same records of the same file with the same key.
// Usage: bench_editor_moves [picture kilobytes=1024] [rounds=200]
#include "bench/bench.h"
#include "bench/tables.h"
#include "editor/TForm1.h"
#include "editor/modules.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <utility>

namespace {

// The editor window on the table, shown and standing on its first record.
struct Editor {
    korvel::Unit3_korvel unit3;
    korvel::Unit_korvel unit;
    std::unique_ptr<korvel::TForm1> form;

    explicit Editor(const QString& path) {
        korvel::EditorUnitInit(unit);
        unit3.TestFileName = path;
        // The alias is defined once a process, as in the program.
        static bool firstActivation = true;
        unit3.FirstActivation = std::exchange(firstActivation, false);
        form = std::make_unique<korvel::TForm1>(plat::qtServices(), unit, unit3);
        form->show();
        while (!form->Table1.isActive() || form->Table1.state() != plat::db::Table::State::Browse)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    ~Editor() {
        form->Table1.close();
        form.reset();
        korvel::EditorUnitFinal(unit);
    }
};

// One move back and forth through the records: next until the last, then prior.
struct Walk {
    int count;
    int at = 1, step = 1;
    int next() {
        if (at + step < 1 || at + step > count) step = -step;
        return at += step;
    }
};

qint64 sink = 0;

// drawn: the move ends when the window has drawn the new record; otherwise when the bound
// controls hold it.
void measure(const std::string& figure, const QString& path, int rounds, bool drawn) {
    Editor ed(path);
    bench::BareReader bare(path);
    Walk ours{bare.count()}, base{bare.count()};
    korvel::TForm1& f = *ed.form;
    const auto p = bench::interleaved(
        rounds,
        [&] {
            const int from = ours.at;
            f.DBNavigator1->btnClick(ours.next() > from ? plat::nbNext : plat::nbPrior);
            if (drawn) QCoreApplication::processEvents();
            sink += f.Table1.recNo();
        },
        [&] { sink += bare.read(base.next()); });
    bench::report(figure + (drawn ? ", drawn" : ""), p);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir drive;
    setenv("TESTSUITE_DRIVE_C", QFile::encodeName(drive.path()).constData(), 1);
    QApplication app(argc, argv);
    const int kb = argc > 1 ? std::max(1, atoi(argv[1])) : 1024;
    const int rounds = argc > 2 ? std::max(2, atoi(argv[2])) : 200;

    QTemporaryDir dir;
    const QString pictures = QDir(dir.path()).filePath("Pictures.DB");
    const QString small = QDir(dir.path()).filePath("Small.DB");
    bench::writeTestTable(pictures, 30, kb * 1024);
    bench::writeTestTable(small, 1000);

    const std::string big = QStringLiteral("editor move, %1 KB pictures").arg(kb).toStdString();
    for (bool drawn : {false, true}) {
        measure(big, pictures, rounds, drawn);
        measure("editor move, small questions", small, rounds * 5, drawn);
    }
    return sink == 42 ? 1 : 0;
}
