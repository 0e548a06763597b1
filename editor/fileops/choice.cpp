#include "editor/fileops/choice.h"

#include "common/names.h"
#include "common/testpath.h"
#include "editor/fileops/fileset.h"
#include "platform/files.h"

namespace korvel {

std::optional<QString> ChoiceRefusal(const QString& path, const QString& workingFolder) {
    const common::TestPath checked = common::CheckTestPath(path, plat::fs::separator());
    if (!checked.accepted()) return checked.message;
    const QString& file = checked.tableName;
    // The file-set operations work in the working folder under the name before the first
    // dot: a test elsewhere, or a name that would reach other files, is refused.
    if (!plat::fs::sameFolder(checked.folder + plat::fs::separator(), workingFolder))
        return QStringLiteral("тест <") + file + QStringLiteral("> находится вне рабочей папки ") +
               workingFolder +
               QStringLiteral(
                   "\rчтобы работать с ним, скопируйте его в рабочую папку "
                   "кнопкой \"Копирование теста в рабочую папку\".");
    const QString base = file.left(file.size() - 3);
    if (base.isEmpty() || common::ForbiddenInTestName(base))
        return QStringLiteral("недопустимое имя теста <") + file +
               QStringLiteral(
                   ">:\rимя теста перед .db не может быть пустым и не может "
                   "содержать точки и знаки <*>,<?>,<\\>,<:>");
    return std::nullopt;
}

}  // namespace korvel
