#include "platform/db/engine_errors.h"

#include <sqlcipher/sqlite3.h>

namespace plat::db {

namespace {

struct Row {
    int code;
    const char* text;  // %1: the file
};

// One row per condition a user can meet; anything else falls to the last text.
const Row kRows[] = {
    {SQLITE_BUSY,
     "Таблица %1 занята другой программой. Подождите, пока она закончит запись, и повторите "
     "действие"},
    {SQLITE_LOCKED,
     "Таблица %1 занята другой программой. Подождите, пока она закончит запись, и повторите "
     "действие"},
    {SQLITE_CANTOPEN,
     "Не удаётся записать в папку таблицы %1. Разрешите запись в эту папку или скопируйте тест в "
     "папку, где запись разрешена"},
    {SQLITE_READONLY,
     "Таблица %1 или её папка защищены от записи. Снимите защиту или скопируйте тест в папку, где "
     "запись разрешена"},
    {SQLITE_PERM, "Нет доступа к таблице %1. Проверьте права на файл и его папку"},
    {SQLITE_CORRUPT, "Таблица %1 повреждена. Восстановите тест из резервной копии"},
    {SQLITE_NOTADB, "Файл %1 не является таблицей теста или пароль не подходит"},
    {SQLITE_FULL,
     "Диск переполнен, изменение таблицы %1 не записано. Освободите место на диске и повторите "
     "действие"},
    {SQLITE_IOERR, "Ошибка чтения или записи таблицы %1. Проверьте диск и повторите действие"},
    {SQLITE_NOMEM,
     "Не хватает памяти для работы с таблицей %1. Закройте другие программы и повторите действие"},
};

}  // namespace

QString engineErrorText(int resultCode, const QString& file) {
    const int primary = resultCode & 0xff;
    for (const Row& r : kRows)
        if (r.code == primary) return QString::fromUtf8(r.text).arg(file);
    return QStringLiteral(
               "Ошибка движка таблиц (код %2) в таблице %1. Повторите действие; если "
               "ошибка повторится, восстановите тест из резервной копии")
        .arg(file)
        .arg(resultCode);
}

QString keysUsedUpText(const QString& file) {
    return QStringLiteral(
               "В таблице %1 занят наибольший возможный номер записи, новую запись добавить "
               "нельзя. Новые вопросы добавьте в другой тест")
        .arg(file);
}

}  // namespace plat::db
