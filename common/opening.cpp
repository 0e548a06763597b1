#include "common/opening.h"

#include "common/fixed.h"
#include "common/question.h"
#include "platform/errors.h"

namespace common {

namespace {
// Puts the configuration mode back however the block ends.
struct ModeRestore {
    plat::db::Session& s;
    ~ModeRestore() { s.setConfigMode(plat::db::ConfigMode::All); }
};
}  // namespace

void openQuestionTable(plat::db::Table& table, const QString& tableName, const AliasStep& alias,
                       const std::function<void()>& onAliasDefined) {
    if (!table.dbSession()) throw plat::DbError(QStringLiteral("Сессия базы данных закрыта"));
    plat::db::Session& session = *table.dbSession();
    session.setConfigMode(plat::db::ConfigMode::SessionOnly);
    ModeRestore restore{session};
    table.setTableName(tableName);
    if (alias.define) {
        session.addStandardAlias(kAliasName, alias.path, kAliasDriver);
        if (onAliasDefined) onAliasDefined();
    }
    session.addPassword(kMasterPassword);
    table.setFieldDefs(questionFields());
    table.open();
}

}  // namespace common
