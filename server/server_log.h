#pragma once
// The server's log: its entries, each opened by the time of day, the count of connected
// computers, and the text that is saved. It is fed by the listener's notifications and
// tells a view (the window) of every change, in order; what is printed is the view's, as
// the view wraps it.
#include "message_assembler.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>

namespace lisgar {

// What shows the log.
class LogView {
public:
    virtual ~LogView() = default;
    // An entry added at the end. open >= 0: a message still arriving may extend it
    // (entryExtended with that id) until entryClosed(open) or logCleared().
    virtual void entryAdded(const QStringList& lines, int open) = 0;
    // The open entry's last line goes on with lines[0]; the further lines follow it.
    virtual void entryExtended(int open, const QStringList& lines) = 0;
    virtual void entryClosed(int open) = 0;
    virtual void logCleared() = 0;
    virtual void countChanged(int count) = 0;
};

class ServerLog {
public:
    // Connections are told apart by their address in memory, nothing more.
    using Connection = const void*;

    explicit ServerLog(LogView& view);
    ~ServerLog();

    // The listener is up: the count starts at 0 and the start-up entry is written. time is
    // the time prefix ("9:05:07 "), date the short date.
    void started(const QString& time, const QString& date);
    // connections: how many are open, the new one included.
    void connected(const QString& time, const QString& address, int connections);
    // connections: how many are open, the closing one still included. A message still
    // arriving on it ends first.
    void disconnected(Connection c, const QString& time, const QString& address, int connections);
    // The bytes of one read. Returns true while a message of c waits for more: once c has
    // been quiet a while, call quiet(c) to show what it holds so far.
    bool received(Connection c, const QString& time, const QByteArray& bytes);
    void quiet(Connection c);
    // Empties the log; the count stays. A message still arriving starts a new entry.
    void clear();
    // Every connection closed without a notification: what their messages hold is dropped.
    void forgetConnections();

    // The log as its entries were added, one line per line break: the text that is saved.
    const QStringList& lines() const { return lines_; }
    bool isEmpty() const { return lines_.isEmpty(); }
    int count() const { return count_; }
    // Writes the lines, each in Windows-1251 with CR LF; the file is replaced whole or not
    // at all. Throws plat::FileError.
    void save(const QString& path) const;

private:
    struct Incoming {
        MessageAssembler assembler;
        QString time;    // the time prefix when the message being received began to arrive
        int entry = -1;  // its open entry, once part of it is shown
    };
    // Adds an entry; open: it may be extended later (returns its id, else -1).
    int addEntry(const QString& text, bool open = false);
    void extendEntry(int id, const QString& text);
    void messageEnded(Incoming& in, const QByteArray& rest);
    void setCount(int n);

    LogView& view_;
    QStringList lines_;
    int count_ = 0;
    std::unordered_map<Connection, std::unique_ptr<Incoming>> incoming_;
    std::unordered_map<int, qsizetype> openEntries_;  // id -> its last line in lines_
    int nextEntry_ = 0;
};

}  // namespace lisgar
