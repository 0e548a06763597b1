#pragma once
// The database session: one per process. It holds the configuration mode, the standard
// aliases, the registered table passwords and the network control directory (where the
// record lock file lives), and knows every table opened through it.
//
// Tests: either construct a Session of their own and give it to each Table, or call
// session().reset() between cases to bring the process session back to its start state.
#include <QList>
#include <QString>
#include <QStringList>

namespace plat::db {

class Table;

enum class ConfigMode {
    SessionOnly,  // aliases added now live in this process only
    All,          // virtual, persistent and session
};

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void setConfigMode(ConfigMode mode) { mode_ = mode; }
    ConfigMode configMode() const { return mode_; }

    // Adds a standard alias. A name that is already defined (letter case ignored) or an
    // empty name fails with DbError. No table is opened through an alias.
    void addStandardAlias(const QString& name, const QString& path, const QString& driver);
    bool isAlias(const QString& name) const;
    QString aliasPath(const QString& name) const;  // empty when there is no such alias

    // Registers a table password; adding one twice is harmless.
    void addPassword(const QString& password);
    const QStringList& passwords() const { return passwords_; }

    // The folder of the shared lock file. Programs that set the same folder share record
    // locks. Empty (not set): the system's temporary folder is used.
    void setNetFileDir(const QString& path) { netFileDir_ = path; }
    QString netFileDir() const { return netFileDir_; }
    QString lockFolder() const;  // netFileDir(), or the temporary folder when it is empty

    // Closes every table of the session and drops its aliases and passwords.
    void close();
    // close(), and also forgets the network control directory and sets mode All.
    void reset();

private:
    friend class Table;
    void attach(Table* t);
    void detach(Table* t);

    struct Alias {
        QString name, path, driver;
    };
    ConfigMode mode_ = ConfigMode::All;
    QList<Alias> aliases_;
    QStringList passwords_;
    QString netFileDir_;
    QList<Table*> tables_;
};

// The process's session.
Session& session();

}  // namespace plat::db
