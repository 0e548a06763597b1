#include "platform/db/create.h"

#include "platform/codec.h"
#include "platform/db/engine_errors.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace plat::db {

namespace {
QString literal(const QString& v) {
    QString s = v;
    return QLatin1Char('\'') + s.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}
}  // namespace

void createTableFile(const QString& path, const QString& password, const QList<FieldDef>& fields) {
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Файл уже существует: %1").arg(shown));
    QStringList cols;
    for (const FieldDef& f : fields) {
        QString c = QStringLiteral("\"%1\" %2").arg(f.name, sqlType(f));
        if (f.type == FieldType::AutoInc)
            c += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        else if (!f.defaultValue.isEmpty())
            c += QStringLiteral(" DEFAULT ") + literal(f.defaultValue);
        cols << c;
    }
    sqlite3* h = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &h,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    int failure = SQLITE_OK;
    if (rc == SQLITE_OK) {
        const QByteArray key = toCp1251(password);
        sqlite3_key(h, key.constData(), int(key.size()));
        const QByteArray sql =
            QStringLiteral("CREATE TABLE %1 (%2)").arg(kRecordsTable, cols.join(", ")).toUtf8();
        if (sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            failure = sqlite3_extended_errcode(h);
    } else {
        failure = h ? sqlite3_extended_errcode(h) : rc;
    }
    sqlite3_close(h);
    if (failure != SQLITE_OK) {
        QFile::remove(path);
        throw DbError(engineErrorText(failure, shown));
    }
}

}  // namespace plat::db
