// Moves and openings on a question table of 10,000 records: median time of a random
// setRecNo, of next and prior, and of an opening (key derivation included).
// Usage: bench_db_moves [records]
#include "common/fixed.h"
#include "common/opening.h"
#include "common/question.h"
#include "platform/codec.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <sqlcipher/sqlite3.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double medianUs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
std::vector<double> timeEach(int n, F&& f) {
    std::vector<double> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        f(i);
        out.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    return out;
}

// Fills the table in one transaction; going through Table would sync once per record.
void fill(const QString& path, int records) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = plat::toCp1251(common::kMasterPassword);
    sqlite3_key(h, key.constData(), int(key.size()));
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO records (TypeVopr, Vopr, Otv1, Otv2, Otv3, Otv4, MaxOtv, RO1, RO2, "
                       "VoprRTF, VoprStyle) VALUES ('1', ?, ?, ?, ?, ?, '4', 1, 0, ?, ?)",
                       -1, &st, nullptr);
    const QByteArray rtf = QByteArray("{\\rtf1\\ansi ") + QByteArray(400, 'x') + "}";
    for (int i = 0; i < records; ++i) {
        const QByteArray q = QStringLiteral("Вопрос номер %1: сколько будет %1 + %1?").arg(i).toUtf8();
        sqlite3_bind_text(st, 1, q.constData(), int(q.size()), SQLITE_TRANSIENT);
        for (int k = 2; k <= 5; ++k) {
            const QByteArray a = QStringLiteral("Ответ %1 на вопрос %2").arg(k - 1).arg(i).toUtf8();
            sqlite3_bind_text(st, k, a.constData(), int(a.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_blob(st, 6, rtf.constData(), int(rtf.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, 7, i % 2 ? "2" : "1", 1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::max(2, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("Bench.DB");
    plat::db::createTableFile(path, common::kMasterPassword, common::questionFields());
    fill(path, records);

    plat::db::Session s;
    s.setNetFileDir(dir.path());
    plat::db::Table t(s);
    const auto opens = timeEach(20, [&](int) {
        t.close();
        common::openQuestionTable(t, path, {false, ""});
    });
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> pick(1, records);
    QString sink;
    const auto jumps = timeEach(10000, [&](int) {
        t.setRecNo(pick(rng));
        sink = t.fieldByName(common::field::Vopr).asString();
    });
    t.first();
    const auto nexts = timeEach(records - 1, [&](int) {
        t.next();
        sink = t.fieldByName(common::field::Vopr).asString();
    });
    const auto priors = timeEach(records - 1, [&](int) {
        t.prior();
        sink = t.fieldByName(common::field::Vopr).asString();
    });
    std::printf("records            %d\n", t.recordCount());
    std::printf("open     median    %.1f ms   (20 openings)\n", medianUs(opens) / 1000);
    std::printf("setRecNo median    %.1f us   (10000 random, field read)\n", medianUs(jumps));
    std::printf("next     median    %.1f us\n", medianUs(nexts));
    std::printf("prior    median    %.1f us\n", medianUs(priors));
    return 0;
}
