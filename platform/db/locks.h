#pragma once
// Record locks shared by every program that uses the same lock folder: OS byte-range locks
// on one file there, one byte per (table file, record key). Open-file-description locks, so
// each RecordLocks is its own owner even within one process, and a process that dies frees
// its locks with it. Internal to the engine.
#include <QString>
#include <cstdint>

namespace plat::db {

class RecordLocks {
public:
    RecordLocks() = default;
    ~RecordLocks();
    RecordLocks(const RecordLocks&) = delete;
    RecordLocks& operator=(const RecordLocks&) = delete;

    // Opens (creating if needed) the lock file in folder for the table file tablePath.
    // Returns an error text, empty on success.
    QString attach(const QString& folder, const QString& tablePath);
    void detach();

    // Non-blocking. False when another owner holds the record.
    bool lock(std::int64_t key);
    void unlock(std::int64_t key);

private:
    std::int64_t offsetOf(std::int64_t key) const;
    int fd_ = -1;
    std::uint64_t tableId_ = 0;
};

}  // namespace plat::db
