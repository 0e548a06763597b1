// What a durable post costs. The same post (one record's update in its own transaction)
// with the journal's removal left to the system (synchronous FULL, the earlier setting)
// and with it on disk before the post returns (EXTRA), plus the engine's own Table::post.
// Runs in the current directory, which must be on a real disk (a RAM disk syncs nothing).
//
// The modes take turns in rounds, and each reports its median round, so a shared disk's
// bursts of other work fall on both alike.
//
//   bench_db_post [posts a round=50] [rounds=9]
#include "bench/bench.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <sqlcipher/sqlite3.h>
#include <vector>

namespace {

const QString kPw = QStringLiteral("bench");

QList<plat::db::FieldDef> schema() {
    using plat::db::FieldType;
    return {{"Number", FieldType::AutoInc, 0}, {"Vopr", FieldType::String, 255}};
}

// ms per post of raw updates under the given synchronous mode.
double rawPosts(const QString& path, const char* mode, int posts) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = kPw.toLatin1();
    sqlite3_key(h, key.constData(), int(key.size()));
    sqlite3_exec(h, QByteArray("PRAGMA synchronous = ") + mode, nullptr, nullptr, nullptr);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < posts; ++i) {
        const QByteArray sql = "BEGIN IMMEDIATE; UPDATE records SET Vopr = 'вопрос " +
                               QByteArray::number(i) + "' WHERE Number = 1; COMMIT;";
        if (sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "post failed: %s\n", sqlite3_errmsg(h));
            break;
        }
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6 / posts;
    sqlite3_close(h);
    return ms;
}

double tablePosts(plat::db::Session& s, const QString& path, int posts) {
    plat::db::Table t(s);
    t.setTableName(path);
    t.open();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < posts; ++i) {
        t.edit();
        t.fieldByName("Vopr").setAsString(QStringLiteral("вопрос %1").arg(i));
        t.post();
    }
    return double(clock.nsecsElapsed()) / 1e6 / posts;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int posts = argc > 1 ? std::atoi(argv[1]) : 50;
    const QString path = QDir::current().absoluteFilePath("bench_post.DB");
    QFile::remove(path);
    plat::db::Session s;
    s.setNetFileDir(QDir::currentPath());
    s.addPassword(kPw);
    plat::db::createTableFile(path, kPw, schema());
    {
        plat::db::Table t(s);
        t.setTableName(path);
        t.open();
        t.insert();
        t.post();
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    rawPosts(path, "FULL", 10);  // warm up
    std::vector<double> full, extra, table;
    for (int r = 0; r < rounds; ++r) {
        full.push_back(rawPosts(path, "FULL", posts));
        extra.push_back(rawPosts(path, "EXTRA", posts));
        table.push_back(tablePosts(s, path, posts));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double f = median(full), e = median(extra), t = median(table);
    std::printf("%d rounds of %d posts, on %s; median ms a post\n", rounds, posts,
                qPrintable(QDir::currentPath()));
    std::printf("synchronous FULL (earlier post):   %.3f\n", f);
    std::printf("synchronous EXTRA (durable post):  %.3f, %.2f x the earlier post\n", e, e / f);
    std::printf("Table::post (edit, set, post):     %.3f, %.2f x the earlier post\n", t, t / f);
    bench::report("durable post vs the earlier post", e, f);
    QFile::remove(path);
    QFile::remove(QDir::current().absoluteFilePath("bench_post.DB-journal"));
    return 0;
}
