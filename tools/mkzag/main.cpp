// Writes the blank question table of the template set: the question record's fields, the
// key on Number, the defaults VoprStyle "1", TypeVopr "1", MaxOtv "4", encrypted with the
// master password, holding one empty question of those defaults, so a new test opens in the
// editor on a plain-text question rather than on no record at all.
// Usage: mkzag <output file>; an existing output is replaced.
#include "common/fixed.h"
#include "common/question.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/errors.h"

#include <QFile>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkzag <output file>\n");
        return 2;
    }
    const QString out = QFile::decodeName(argv[1]);
    const QString tmp = out + QStringLiteral(".part");
    QFile::remove(tmp);
    try {
        plat::db::createTableFile(tmp, common::kMasterPassword, common::templateFields());
        plat::db::Session session;
        session.addPassword(common::kMasterPassword);
        plat::db::Table table(session);
        table.setTableName(tmp);
        table.open();
        table.insert();
        table.post();
        table.close();
    } catch (const plat::LayerError& e) {
        std::fprintf(stderr, "mkzag: %s\n", e.what());
        return 1;
    }
    // Replace the old file only once the new one is complete.
    QFile::remove(out);
    if (!QFile::rename(tmp, out)) {
        std::fprintf(stderr, "mkzag: cannot write %s\n", argv[1]);
        QFile::remove(tmp);
        return 1;
    }
    return 0;
}
