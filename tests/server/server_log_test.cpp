// The log as a model: entries, messages that arrive in pieces, the count, the saved text.
#include "server/server_log.h"

#include "common/messages.h"
#include "platform/codec.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using lisgar::ServerLog;
const QByteArray M = common::MessageMarker();

// What the view is told, kept entry by entry: an entry that grows takes its lines with it,
// so the lines below it move without any bookkeeping here.
class ShownLog : public lisgar::LogView {
public:
    void entryAdded(const QStringList& lines, int open) override {
        entries_.append(lines);
        if (open < 0) return;
        EXPECT_FALSE(open_.count(open)) << "id " << open << " given twice";
        open_[open] = entries_.size() - 1;
    }
    void entryExtended(int open, const QStringList& lines) override {
        const auto it = open_.find(open);
        if (it == open_.end()) {
            ADD_FAILURE() << "extended entry " << open << ", which is not open";
            return;
        }
        QStringList& e = entries_[it->second];
        e.last() += lines[0];
        e += lines.mid(1);
    }
    void entryClosed(int open) override {
        EXPECT_EQ(open_.erase(open), 1u) << "closed entry " << open << ", which is not open";
    }
    void logCleared() override {
        entries_.clear();
        open_.clear();
    }
    void countChanged(int count) override { count_ = QString::number(count); }

    QStringList lines() const {
        QStringList all;
        for (const QStringList& e : entries_) all += e;
        return all;
    }
    QString count() const { return count_; }
    qsizetype openEntries() const { return qsizetype(open_.size()); }

private:
    QList<QStringList> entries_;
    std::map<int, qsizetype> open_;  // id -> index in entries_
    QString count_;                  // as Label2 shows it: empty until told
};

enum class Op { Start, Connect, Disconnect, Read, Quiet, Clear, Forget };

// One notification; its time is the prefix of what it writes.
struct Step {
    Op op;
    const char* at = "";
    int conn = 0;           // connection 1, 2, ...: at 10.0.0.<conn>
    QByteArray bytes = {};  // Read
    int open = 0;           // Connect, Disconnect: connections open, the one named included
};

Step startup(const char* at) { return {Op::Start, at}; }
Step connects(const char* at, int conn, int open) { return {Op::Connect, at, conn, {}, open}; }
Step disconnects(const char* at, int conn, int open) {
    return {Op::Disconnect, at, conn, {}, open};
}
Step reads(const char* at, int conn, const QByteArray& bytes) {
    return {Op::Read, at, conn, bytes};
}
Step quiet(int conn) { return {Op::Quiet, "", conn}; }
Step clearLog() { return {Op::Clear}; }
Step forget() { return {Op::Forget}; }

struct LogCase {
    const char* name;
    QList<Step> steps;
    QStringList lines;  // the log afterwards
    QString count;      // Label2 afterwards
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

ServerLog::Connection key(int conn) {
    static const char keys[8] = {};
    return &keys[conn];
}

void run(ServerLog& log, const Step& s) {
    const QString at = QString::fromUtf8(s.at);
    const QString address = QStringLiteral("10.0.0.%1").arg(s.conn);
    switch (s.op) {
        case Op::Start: log.started(at, QStringLiteral("09.12.2026")); break;
        case Op::Connect: log.connected(at, address, s.open); break;
        case Op::Disconnect: log.disconnected(key(s.conn), at, address, s.open); break;
        case Op::Read: log.received(key(s.conn), at, s.bytes); break;
        case Op::Quiet: log.quiet(key(s.conn)); break;
        case Op::Clear: log.clear(); break;
        case Op::Forget: log.forgetConnections(); break;
    }
}

class LogTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(LogTest, KeepsEntriesAndTellsTheView) {
    ShownLog view;
    ServerLog log(view);
    for (const Step& s : GetParam().steps) run(log, s);
    EXPECT_EQ(log.lines(), GetParam().lines);
    EXPECT_EQ(view.lines(), log.lines()) << "the view shows what is saved";
    EXPECT_EQ(view.count(), GetParam().count);
    EXPECT_EQ(log.isEmpty(), GetParam().lines.isEmpty());
}

const LogCase kCases[] = {
    {"StartConnectsAndDisconnects",
     {startup("t0 "), connects("t1 ", 1, 1), connects("t2 ", 2, 2), disconnects("t3 ", 1, 2)},
     {"Время t0  дата 09.12.2026 Запуск протокола тестирования", "t1 10.0.0.1 - Подключился.",
      "t2 10.0.0.2 - Подключился.", "t3 10.0.0.1 - Отключился."},
     "1"},
    {"ClearKeepsTheCount",
     {startup("t0 "), connects("t1 ", 1, 1), clearLog(), connects("t2 ", 2, 2)},
     {"t2 10.0.0.2 - Подключился."},
     "2"},
    // A message ends at the next marker or with its connection, and keeps the time it began.
    {"MessagesEndAtTheNextMarkerOrTheClose",
     {reads("t1 ", 1, "noise" + M + "a" + M + "b\r\nc"), reads("t2 ", 1, M),
      disconnects("t3 ", 1, 1)},
     {"t1 a", "t1 b", "c", "t2 ", "t3 10.0.0.1 - Отключился."},
     "0"},
    // Shown while it pauses, then extended by what follows without a marker.
    {"OpenEntryGoesOnUntilTheNextMarker",
     {reads("t1 ", 1, M + "a\r\nb"), quiet(1), reads("t2 ", 1, "c\r\nd"), quiet(1), quiet(1),
      reads("t3 ", 1, " e" + M + "f"), quiet(1)},
     {"t1 a", "bc", "d e", "t3 f"},
     ""},
    {"CrLfAcrossAPauseIsOneLineBreak",
     {reads("t1 ", 1, M + "a\r"), quiet(1), reads("t2 ", 1, "\nb"), quiet(1)},
     {"t1 a", "b"},
     ""},
    // Two messages arriving at once: lines one gains push down the other's and the entries
    // after them, and each goes on at its own end.
    {"LinesAddedInsideAnOpenEntryMoveTheOthers",
     {reads("t1 ", 1, M + "a"), quiet(1), reads("t2 ", 2, M + "x"), quiet(2),
      reads("t3 ", 1, "\r\nb\r\nc"), quiet(1), connects("t4 ", 3, 3), reads("t5 ", 2, "y\r\nz"),
      quiet(2), reads("t6 ", 1, "d"), quiet(1), reads("t7 ", 2, "!"), quiet(2)},
     {"t1 a", "b", "cd", "t2 xy", "z!", "t4 10.0.0.3 - Подключился."},
     "3"},
    // What arrives after the clear is a new entry, under the time the message began.
    {"ClearWhileAMessageArrives",
     {reads("t1 ", 1, M + "a"), quiet(1), clearLog(), reads("t2 ", 1, "b"), quiet(1),
      reads("t3 ", 1, "c"), quiet(1), reads("t4 ", 1, M + "n"), disconnects("t5 ", 1, 1)},
     {"t1 bc", "t4 n", "t5 10.0.0.1 - Отключился."},
     "0"},
    // Connections closed without a notification: what they still hold never shows.
    {"ForgottenConnectionsShowNoMore",
     {reads("t1 ", 1, M + "a"), quiet(1), reads("t2 ", 1, "b"), reads("t3 ", 2, M + "x"), forget(),
      quiet(1), quiet(2)},
     {"t1 a"},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Server, LogTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A message ends its entry when the next begins or its connection closes: the view hears of
// that, so it keeps no place for an entry that cannot grow.
TEST(ServerLogView, EntriesCloseWhenTheirMessageEnds) {
    ShownLog view;
    ServerLog log(view);
    log.received(key(1), "t1 ", M + "a");
    log.quiet(key(1));
    log.received(key(2), "t2 ", M + "x");
    log.quiet(key(2));
    EXPECT_EQ(view.openEntries(), 2);
    log.received(key(1), "t3 ", M + "b");
    EXPECT_EQ(view.openEntries(), 1);
    log.disconnected(key(2), "t4 ", "10.0.0.2", 1);
    EXPECT_EQ(view.openEntries(), 0);
    log.quiet(key(1));
    EXPECT_EQ(view.openEntries(), 1);
    log.forgetConnections();
    EXPECT_EQ(view.openEntries(), 0);
}

// The saved log: each line in Windows-1251 and CR LF, the empty line a report ends with
// included, nothing before or after.
class ServerLogSave : public testing_support::SuiteTest {};

TEST_F(ServerLogSave, WritesEveryLineInCp1251WithCrLf) {
    ShownLog view;
    ServerLog log(view);
    log.started("9:05:07 ", "09.12.2026");
    log.received(key(1), "9:10:42 ",
                 M + plat::toCp1251(QStringLiteral("10.0.0.1 Иванов\r\nВерных: 7\r\n")));
    log.disconnected(key(1), "9:11:00 ", "10.0.0.1", 1);
    const QString path = inWork("protocol.txt");
    log.save(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        f.readAll(),
        plat::toCp1251(QStringLiteral(
            "Время 9:05:07  дата 09.12.2026 Запуск протокола тестирования\r\n"
            "9:10:42 10.0.0.1 Иванов\r\nВерных: 7\r\n\r\n9:11:00 10.0.0.1 - Отключился.\r\n")));
}

}  // namespace
