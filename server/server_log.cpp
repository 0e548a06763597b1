#include "server_log.h"

#include "platform/codec.h"
#include "platform/files.h"

#include <QRegularExpression>

namespace lisgar {

namespace {
const QRegularExpression& lineBreak() {
    static const QRegularExpression re(QStringLiteral("\r\n|\r|\n"));
    return re;
}
}  // namespace

ServerLog::ServerLog(LogView& view) : view_(view) {}

ServerLog::~ServerLog() = default;

void ServerLog::started(const QString& time, const QString& date) {
    setCount(0);
    addEntry(QStringLiteral("Время ") + time + QStringLiteral(" дата ") + date +
             QStringLiteral(" Запуск протокола тестирования"));
}

void ServerLog::connected(const QString& time, const QString& address, int connections) {
    setCount(connections);
    addEntry(time + address + QStringLiteral(" - Подключился."));
}

void ServerLog::disconnected(Connection c, const QString& time, const QString& address,
                             int connections) {
    if (auto it = incoming_.find(c); it != incoming_.end()) {
        const std::unique_ptr<Incoming> in = std::move(it->second);
        incoming_.erase(it);
        if (const auto rest = in->assembler.finish()) messageEnded(*in, *rest);
    }
    setCount(connections - 1);
    addEntry(time + address + QStringLiteral(" - Отключился."));
}

// One read is not one message on TCP: a message may come in pieces, and several may come
// in one read. Each connection's bytes are cut at the markers; a message shows once its
// connection has been quiet, and what follows it up to the next marker is added to its
// entry.
bool ServerLog::received(Connection c, const QString& time, const QByteArray& bytes) {
    auto& in = incoming_[c];
    if (!in) in = std::make_unique<Incoming>();
    const bool wasHolding = in->assembler.holding();
    const QList<QByteArray> done = in->assembler.feed(bytes);
    for (qsizetype i = 0; i < done.size(); ++i) {
        if (i == 0 && wasHolding)
            messageEnded(*in, done[0]);
        else
            addEntry(time + plat::fromCp1251(done[i]));
    }
    if (!in->assembler.holding()) return false;
    if (!wasHolding || !done.isEmpty()) {
        in->time = time;
        in->entry = -1;
    }
    return true;
}

void ServerLog::quiet(Connection c) {
    auto it = incoming_.find(c);
    if (it == incoming_.end() || !it->second->assembler.holding()) return;
    Incoming& in = *it->second;
    const QByteArray part = in.assembler.flush();
    if (in.entry < 0)
        in.entry = addEntry(in.time + plat::fromCp1251(part), true);
    else if (!part.isEmpty())
        extendEntry(in.entry, plat::fromCp1251(part));
}

void ServerLog::clear() {
    lines_.clear();
    openEntries_.clear();
    for (auto& [c, in] : incoming_) in->entry = -1;
    view_.logCleared();
}

void ServerLog::forgetConnections() {
    incoming_.clear();
    for (const auto& [id, line] : openEntries_) view_.entryClosed(id);
    openEntries_.clear();
}

void ServerLog::save(const QString& path) const { plat::fs::writeLines(path, lines_); }

void ServerLog::messageEnded(Incoming& in, const QByteArray& rest) {
    if (in.entry < 0) {
        addEntry(in.time + plat::fromCp1251(rest));
        return;
    }
    if (!rest.isEmpty()) extendEntry(in.entry, plat::fromCp1251(rest));
    openEntries_.erase(in.entry);
    view_.entryClosed(in.entry);
    in.entry = -1;
}

int ServerLog::addEntry(const QString& text, bool open) {
    const QStringList lines = text.split(lineBreak());
    lines_ += lines;
    const int id = open ? nextEntry_++ : -1;
    if (open) openEntries_[id] = lines_.size() - 1;
    view_.entryAdded(lines, id);
    return id;
}

void ServerLog::extendEntry(int id, const QString& text) {
    auto it = openEntries_.find(id);
    if (it == openEntries_.end()) return;
    const QStringList lines = text.split(lineBreak());
    const qsizetype at = it->second;
    lines_[at] += lines[0];
    for (qsizetype i = 1; i < lines.size(); ++i) lines_.insert(at + i, lines[i]);
    // The entries below this one move down by the lines it gained.
    const qsizetype added = lines.size() - 1;
    for (auto& [other, line] : openEntries_)
        if (line > at) line += added;
    it->second += added;
    view_.entryExtended(id, lines);
}

void ServerLog::setCount(int n) {
    count_ = n;
    view_.countChanged(n);
}

}  // namespace lisgar
