#include "platform/db/session.h"

#include "platform/db/table.h"
#include "platform/errors.h"

#include <QDir>

namespace plat::db {

Session::Session() = default;

Session::~Session() {
    close();
    for (Table* t : tables_) t->session_ = nullptr;
}

void Session::addStandardAlias(const QString& name, const QString& path, const QString& driver) {
    if (name.trimmed().isEmpty()) throw DbError(QStringLiteral("Не задано имя псевдонима"));
    if (isAlias(name)) throw DbError(QStringLiteral("Псевдоним уже существует: %1").arg(name));
    aliases_.append({name, path, driver.isEmpty() ? QStringLiteral("PARADOX") : driver});
}

bool Session::isAlias(const QString& name) const {
    for (const Alias& a : aliases_)
        if (a.name.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString Session::aliasPath(const QString& name) const {
    for (const Alias& a : aliases_)
        if (a.name.compare(name, Qt::CaseInsensitive) == 0) return a.path;
    return {};
}

void Session::addPassword(const QString& password) {
    if (!passwords_.contains(password)) passwords_.append(password);
}

QString Session::lockFolder() const {
    return netFileDir_.isEmpty() ? QDir::tempPath() : netFileDir_;
}

void Session::close() {
    const QList<Table*> open = tables_;
    for (Table* t : open) t->close();
    aliases_.clear();
    passwords_.clear();
}

void Session::reset() {
    close();
    netFileDir_.clear();
    mode_ = ConfigMode::All;
}

void Session::attach(Table* t) {
    if (!tables_.contains(t)) tables_.append(t);
}

void Session::detach(Table* t) { tables_.removeAll(t); }

Session& session() {
    static Session s;
    return s;
}

}  // namespace plat::db
