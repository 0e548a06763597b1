// Openings and moves on a question table of 10,000 records, against the storage library
// alone on the same file with the same key: an opening (key derivation and the keys read
// in order), a random setRecNo, and next, each with a field read.
// Usage: bench_db_moves [records=10000] [rounds=15]
#include "bench/bench.h"
#include "bench/tables.h"
#include "common/opening.h"
#include "platform/db/session.h"
#include "platform/db/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <random>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::max(2, atoi(argv[1])) : 10000;
    const int rounds = argc > 2 ? std::max(2, atoi(argv[2])) : 15;
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("Bench.DB");
    bench::writeTestTable(path, records);

    plat::db::Session s;
    s.setNetFileDir(dir.path());
    plat::db::Table t(s);
    common::openQuestionTable(t, path, {false, ""});
    bench::BareReader bare(path);
    std::printf("records %d\n", t.recordCount());
    const QString label = QStringLiteral(" (%1 records)").arg(records);
    auto figure = [&](const char* what) { return (what + label).toStdString(); };

    const auto open = bench::interleaved(
        rounds,
        [&] {
            t.close();
            common::openQuestionTable(t, path, {false, ""});
        },
        [&] {
            bare.close();
            bare.open();
        });
    bench::report(figure("table opening"), open);

    // A sample is a batch of moves, long enough for the clock.
    constexpr int batch = 500;
    std::mt19937 rngOurs(42), rngBase(42);
    std::uniform_int_distribution<int> pick(1, records);
    qint64 sink = 0;
    const auto jumps = bench::interleaved(
        rounds,
        [&] {
            for (int i = 0; i < batch; ++i) {
                t.setRecNo(pick(rngOurs));
                sink += t.fieldByName(common::field::Vopr).asString().size();
            }
        },
        [&] {
            for (int i = 0; i < batch; ++i) sink += bare.read(pick(rngBase));
        });
    bench::report(figure("random move and field read, per 500"), jumps);

    int base = 1;
    t.first();
    const auto nexts = bench::interleaved(
        rounds,
        [&] {
            for (int i = 0; i < batch; ++i) {
                if (t.eof()) t.first();
                t.next();
                sink += t.fieldByName(common::field::Vopr).asString().size();
            }
        },
        [&] {
            for (int i = 0; i < batch; ++i) {
                base = base % records + 1;
                sink += bare.read(base);
            }
        });
    bench::report(figure("next and field read, per 500"), nexts);
    return sink == 42 ? 1 : 0;
}
