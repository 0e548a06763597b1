#include "editor/fileops/fileset.h"

#include "common/names.h"
#include "editor/fileops/fileset_change.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace korvel {
namespace {

bool isSeparator(QChar c) { return c == QLatin1Char('/') || c == plat::fs::separator(); }

// Length of the folder part of a path, its last separator included.
qsizetype folderLength(const QString& path) {
    for (qsizetype i = path.size(); i > 0; --i)
        if (isSeparator(path[i - 1])) return i;
    return 0;
}

// What follows the "GrV" of a picture name. A mask N + "GrV*" names its own split point, so
// a test name that holds "GrV" itself keeps its pictures' numbers; otherwise the name splits
// at its first "GrV".
std::optional<QString> pictureRest(const QString& mask, const QString& entry) {
    const QString pattern = mask.mid(folderLength(mask));
    qsizetype wild = pattern.size();
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (pattern[i] == QLatin1Char('*') || pattern[i] == QLatin1Char('?')) {
            wild = i;
            break;
        }
    const QString literal = pattern.left(wild);
    if (literal.endsWith(kPictureInfix) && entry.startsWith(literal))
        return entry.mid(literal.size());
    const qsizetype at = entry.indexOf(kPictureInfix);
    if (at < 0) return std::nullopt;
    return entry.mid(at + kPictureInfix.size());
}

void copyFailed(plat::UiServices& ui, const QString& entry, const QString& name) {
    ui.message(QStringLiteral("копирование ") + entry + QStringLiteral(" в ") + name +
               QStringLiteral(" не выполнено"));
}

enum class PictureAction { CopyInFolder, RenameInFolder, CopyToPrefix };

void walkPictures(plat::UiServices& ui, const QString& mask, const QString& prefix,
                  PictureAction action) {
    const PictureWalk walk = PictureFiles(mask, prefix, action != PictureAction::CopyToPrefix);
    for (const PictureFile& p : walk.files) {
        const bool done = action == PictureAction::RenameInFolder
                              ? plat::fs::renameFile(p.source, p.target)
                              : CopyTestFile(ui, p.source, p.target);
        if (!done) {
            copyFailed(ui, p.entry, p.newName);
            return;
        }
    }
    if (walk.noGrV) ui.message(kNoGrVText);
}

}  // namespace

bool IsPictureRest(const QString& rest) {
    static const QRegularExpression number(QStringLiteral("^[0-9]+\\.jpg$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return number.match(rest).hasMatch();
}

CopyAnswer AskToCopy(plat::UiServices& ui, const QString& source, const QString& target) {
    CopyAnswer answer = CopyAnswer::Copy;
    if (!plat::fs::fileExists(source)) {
        ui.message(QStringLiteral("не найден файл ") + source);
        answer = CopyAnswer::Refused;
    } else if (plat::fs::sameFile(source, target)) {
        // Replacing would delete the only copy: leave it as it is and say why.
        ui.message(source + QStringLiteral(" и ") + target +
                   QStringLiteral(" - один и тот же файл"));
        answer = CopyAnswer::Refused;
    } else if (plat::fs::fileExists(target)) {
        answer = ui.confirm(target + QStringLiteral(" уже существует, хотите обновить?")) ==
                         plat::Answer::Yes
                     ? CopyAnswer::Replace
                     : CopyAnswer::Refused;
    }
    if (answer == CopyAnswer::Refused) CopyNotMade(ui, source, target);
    return answer;
}

void CopyNotMade(plat::UiServices& ui, const QString& source, const QString& target) {
    ui.message(QStringLiteral("копирование файла ") + source + QStringLiteral(" в ") + target +
               QStringLiteral(" не выполнено"));
}

bool CopyTestFile(plat::UiServices& ui, const QString& source, const QString& target) {
    const CopyAnswer answer = AskToCopy(ui, source, target);
    if (answer == CopyAnswer::Refused) return false;
    if (answer == CopyAnswer::Replace) plat::fs::deleteFile(target);
    if (plat::fs::copyFile(source, target)) return true;
    CopyNotMade(ui, source, target);
    return false;
}

QString ReasonText(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT: return QStringLiteral("диск заполнен");
        case EACCES:
        case EPERM: return QStringLiteral("нет права на запись в папку");
        case EROFS: return QStringLiteral("диск открыт только для чтения");
        case ENAMETOOLONG: return QStringLiteral("слишком длинное имя файла");
        case EEXIST: return QStringLiteral("файл с таким именем уже есть");
        case ENOENT: return QStringLiteral("файл не найден");
        default: return QString::fromLocal8Bit(std::strerror(err));
    }
}

QString NameBeforeDot(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString ExtensionFromDot(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool WalkMask(const QString& mask, const MaskStep& step) {
    const QString folder = mask.left(folderLength(mask));
    const QString pattern = mask.mid(folder.size());
    const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
    // The listing is taken whole first, so files a step creates or renames are not met again.
    for (const QString& entry : plat::fs::findFiles(dir, pattern)) {
        if (entry.startsWith(QLatin1Char('.'))) continue;
        if (!step(entry, folder + entry, folder)) return false;
    }
    return true;
}

void DeleteFilesByMask(plat::UiServices&, const QString& mask) {
    WalkMask(mask, [](const QString&, const QString& source, const QString&) {
        return plat::fs::deleteFile(source);
    });
}

void CopyFileSetAs(plat::UiServices& ui, const QString& mask, const QString& base) {
    WalkMask(mask, [&](const QString& entry, const QString& source, const QString& folder) {
        const QString newName = base + ExtensionFromDot(entry);
        if (CopyTestFile(ui, source, folder + newName)) return true;
        copyFailed(ui, entry, newName);
        return false;
    });
}

PictureWalk PictureFiles(const QString& mask, const QString& prefix, bool inMaskFolder) {
    PictureWalk walk;
    WalkMask(mask, [&](const QString& entry, const QString& source, const QString& folder) {
        const std::optional<QString> rest = pictureRest(mask, entry);
        if (!rest) {
            walk.noGrV = true;
            return false;
        }
        if (!IsPictureRest(*rest)) return true;  // another test's file: not ours to touch
        const QString newName = prefix + *rest;
        walk.files.append({entry, source, newName, inMaskFolder ? folder + newName : newName});
        return true;
    });
    return walk;
}

void CopyPictureFiles(plat::UiServices& ui, const QString& mask, const QString& prefix) {
    walkPictures(ui, mask, prefix, PictureAction::CopyInFolder);
}

void RenamePictureFiles(plat::UiServices& ui, const QString& mask, const QString& prefix) {
    walkPictures(ui, mask, prefix, PictureAction::RenameInFolder);
}

void CopyPictureFilesTo(plat::UiServices& ui, const QString& mask, const QString& prefix) {
    walkPictures(ui, mask, prefix, PictureAction::CopyToPrefix);
}

QStringList TableFileExtensions() {
    return {QStringLiteral(".DB"), QStringLiteral(".VAL"), QStringLiteral(".TV"),
            QStringLiteral(".PX"), QStringLiteral(".FAM"), QStringLiteral(".MB")};
}

QStringList TableFilesToWalk(const QString& base) {
    QStringList walk;
    for (const QString& ext : TableFileExtensions())
        if (walk.isEmpty() || plat::fs::fileExists(base + ext)) walk.append(ext);
    return walk;
}

bool WalkTableFiles(const QString& base, const std::function<bool(const QString& ext)>& step) {
    for (const QString& ext : TableFilesToWalk(base))
        if (!step(ext)) return false;
    return true;
}

bool IsTemplateName(const QString& name) {
    return name.compare(QLatin1String("new"), Qt::CaseInsensitive) == 0;
}

bool CheckTestNameCharacters(plat::UiServices& ui, const QString& name) {
    const std::optional<QChar> c = common::ForbiddenInTestName(name);
    if (c)
        ui.error(QStringLiteral("Знак <") + *c + QStringLiteral("> недопустим в названии теста"));
    return !c;
}

bool CheckNameLengths(plat::UiServices& ui, const QString& test, const QStringList& targets) {
    const std::optional<LongName> tooLong = NameTooLong(targets);
    if (!tooLong) return true;
    // The name may be too long for a line of the box: its end tells which file it is.
    const QString end =
        tooLong->name.size() > 24 ? QStringLiteral("...") + tooLong->name.right(20) : tooLong->name;
    ui.error(QStringLiteral("Название теста слишком длинное (%1 знаков): имя файла %2 заняло бы "
                            "%3 байт, а файловая система допускает не больше %4. Выберите "
                            "название короче.")
                 .arg(test.size())
                 .arg(end)
                 .arg(tooLong->bytes)
                 .arg(tooLong->limit));
    return false;
}

std::optional<QString> CreateTestFromTemplate(plat::UiServices& ui, const QString& w) {
    const QString n = ui.input(QStringLiteral("Введите название нового теста."), kTestNamePrompt,
                               QStringLiteral("Пробный тест"));
    if (n.isEmpty()) {
        ui.error(QStringLiteral("Не задано имя теста"));
        return std::nullopt;
    }
    if (IsTemplateName(n)) {
        ui.error(kNewRefusedText);
        return std::nullopt;
    }
    if (!CheckTestNameCharacters(ui, n)) return std::nullopt;

    // Without the blank table no test can be made; say which file is missing.
    const QString blank = QStringLiteral("new.zag");
    if (!plat::fs::fileExists(blank)) {
        ui.error(QStringLiteral("Не найден файл заготовки ") + blank + QStringLiteral(" в папке ") +
                 QDir::toNativeSeparators(plat::fs::currentDir()) +
                 QStringLiteral(": новый тест не создан."));
        return std::nullopt;
    }

    // Any file of a test N (table, page, pictures, whatever else) would be inherited by the
    // new one or mixed with it: refuse the name while one exists, named as it is on disk.
    for (const QString& mask :
         {n + QStringLiteral(".*"), n + kPictureInfix + QStringLiteral("*.*")}) {
        const QStringList found = plat::fs::findFiles(QStringLiteral("."), mask);
        if (found.isEmpty()) continue;
        ui.error(QStringLiteral("Тест с названием <") + n +
                 QStringLiteral("> уже существует (файл ") + found.first() +
                 QStringLiteral("). Выберите другое название."));
        return std::nullopt;
    }

    // The template set under the new name, its table as N.DB and without its page head: the
    // whole test at once, or nothing of it.
    struct Copy {
        QString entry, newName;
    };
    QList<Copy> copies;
    WalkMask(QStringLiteral("new.*"), [&](const QString& entry, const QString&, const QString&) {
        const QString ext = ExtensionFromDot(entry);
        if (ext.compare(QLatin1String(".CRO"), Qt::CaseInsensitive) == 0) return true;
        const bool table = ext.compare(QLatin1String(".zag"), Qt::CaseInsensitive) == 0;
        copies.append({entry, n + (table ? QStringLiteral(".DB") : ext)});
        return true;
    });
    FileSetChange change(w);
    for (const Copy& c : copies)
        change.copy(c.entry, c.newName, false, [&ui, c](int) {
            CopyNotMade(ui, c.entry, c.newName);
            copyFailed(ui, c.entry, c.newName);
        });
    if (!CheckNameLengths(ui, n, change.targets())) return std::nullopt;
    change.journalFailed = [&](const QString& journal, int err) {
        ui.error(QStringLiteral("Тест <") + n + QStringLiteral("> не создан: в папку ") +
                 QDir::toNativeSeparators(QFileInfo(journal).absolutePath()) +
                 QStringLiteral(" нельзя записать (") + ReasonText(err) + QStringLiteral(")."));
    };
    if (!change.run()) return std::nullopt;
    return n;
}

}  // namespace korvel
