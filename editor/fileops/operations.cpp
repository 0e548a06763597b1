#include "editor/fileops/operations.h"

#include "common/names.h"
#include "editor/fileops/fileset.h"
#include "editor/fileops/fileset_change.h"
#include "editor/fileops/page_names.h"
#include "editor/fileops/test_dialog.h"
#include "platform/errors.h"
#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <functional>
#include <utility>

namespace korvel {
namespace {

const QString kHtml = QStringLiteral(".HTML");

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(plat::fs::separator()) + 1);
}

// A file that N + ".*" matches is N's own when nothing but an extension follows N: N + ".2.DB"
// belongs to a test "N.2", and "AGrV1.jpg" is test A's picture, not a file of a test "AGrV1".
bool isOwnFile(const QString& n, const QString& entry) {
    if (entry.mid(n.size() + 1).contains(u'.')) return false;
    const qsizetype at = entry.indexOf(kPictureInfix);
    return at <= 0 || !IsPictureRest(entry.mid(at + kPictureInfix.size()));
}

// One file that an operation copies or renames, in the order the operation takes them.
struct FileStep {
    QString source, target;
    // Taken by a helper's walk (the pictures, Import's files): the names its message gives.
    QString entry, newName;
    bool page = false;
    bool noGrV = false;  // the picture walk stops here with "не найдено GrV"
    bool walked() const { return !entry.isEmpty(); }
};

FileStep fileStep(const QString& source, const QString& target, bool page = false) {
    FileStep s;
    s.source = source;
    s.target = target;
    s.page = page;
    return s;
}

QList<FileStep> tableSteps(const QString& from, const QString& to) {
    QList<FileStep> steps;
    for (const QString& ext : TableFilesToWalk(from)) steps.append(fileStep(from + ext, to + ext));
    return steps;
}

void addPictures(QList<FileStep>& steps, const QString& mask, const QString& prefix,
                 bool inMaskFolder) {
    const PictureWalk walk = PictureFiles(mask, prefix, inMaskFolder);
    for (const PictureFile& p : walk.files) steps.append({p.source, p.target, p.entry, p.newName});
    if (walk.noGrV) {
        FileStep stop;
        stop.noGrV = true;
        steps.append(stop);
    }
}

QStringList targetsOf(const QList<FileStep>& steps) {
    QStringList t;
    for (const FileStep& s : steps)
        if (!s.noGrV) t.append(s.target);
    return t;
}

void walkNotMade(plat::UiServices& ui, const FileStep& s) {
    ui.message(QStringLiteral("копирование ") + s.entry + QStringLiteral(" в ") + s.newName +
               QStringLiteral(" не выполнено"));
}

// The files of test name in folder that an operation on the chosen halves replaces: the
// table files and the page with the pictures, or every file of the test (all).
QStringList ownFiles(const QString& folder, const QString& name, bool table, bool web,
                     bool all = false) {
    QStringList files;
    WalkMask(folder + name + QStringLiteral(".*"),
             [&](const QString& entry, const QString& source, const QString&) {
                 if (!isOwnFile(name, entry)) return true;
                 const QString ext = ExtensionFromDot(entry);
                 const bool isTable = TableFileExtensions().contains(ext, Qt::CaseInsensitive);
                 const bool isPage = ext.compare(kHtml, Qt::CaseInsensitive) == 0;
                 if (all || (table && isTable) || (web && isPage)) files.append(source);
                 return true;
             });
    if (all || web)
        for (const PictureFile& p :
             PictureFiles(folder + name + kPictureInfix + QStringLiteral("*.*"), QString(), true)
                 .files)
            files.append(p.source);
    return files;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(QFileInfo(a).absoluteFilePath(), QFileInfo(b).absoluteFilePath(),
                            Qt::CaseInsensitive) == 0;
}

// The page under its new name with its references following it, when they change.
std::optional<QByteArray> renamedPage(plat::UiServices& ui, const FileStep& page,
                                      const QString& from, const QString& to,
                                      const QList<FileStep>& steps) {
    QByteArray bytes;
    try {
        bytes = plat::fs::readBytes(page.source);
    } catch (const plat::FileError& e) {
        ui.message(QStringLiteral("ссылки на рисунки в ") + page.target +
                   QStringLiteral(" не обновлены:\r") + e.text());
        return std::nullopt;
    }
    const QString folder = folderOf(page.target);
    return PageWithRenamedReferences(bytes, from, to, [&](const QString& picture) {
        for (const FileStep& s : steps)
            if (s.walked() && sameName(s.target, folder + picture)) return true;
        return plat::fs::fileExists(folder + picture);
    });
}

// A copy of a test's files onto the test "label": every question of CopyTestFile asked, in
// the order of the steps, before anything is copied. Answers that would make one test of
// two tests' files change nothing. Nullopt at a refusal, when the author has been told;
// else whether a file is replaced.
std::optional<bool> askCopies(
    plat::UiServices& ui, FileSetChange& change, const QList<FileStep>& steps, const QString& label,
    const std::function<std::optional<QByteArray>(const FileStep&)>& pageBytes = {}) {
    bool replacing = false;
    for (const FileStep& s : steps) {
        if (s.noGrV) {
            ui.message(kNoGrVText);
            return std::nullopt;
        }
        const CopyAnswer a = AskToCopy(ui, s.source, s.target);
        if (a == CopyAnswer::Refused) {
            if (s.walked()) walkNotMade(ui, s);
            if (replacing)
                ui.message(QStringLiteral("Ни один файл не скопирован и не заменён: тест <") +
                           label + QStringLiteral("> составился бы из файлов двух разных тестов."));
            return std::nullopt;
        }
        replacing = replacing || a == CopyAnswer::Replace;
        auto failed = [&ui, s](int) {
            CopyNotMade(ui, s.source, s.target);
            if (s.walked()) walkNotMade(ui, s);
        };
        const std::optional<QByteArray> bytes =
            s.page && pageBytes ? pageBytes(s) : std::optional<QByteArray>();
        if (bytes)
            change.write(*bytes, s.target, a == CopyAnswer::Replace, failed);
        else
            change.copy(s.source, s.target, a == CopyAnswer::Replace, failed);
    }
    return replacing;
}

// When the author has agreed to replace a test, its files that the copy does not bring
// go with the rest, so the test is the copy alone.
void removeReplaced(FileSetChange& change, const QList<FileStep>& steps, const QStringList& own) {
    for (const QString& f : own) {
        const bool brought = std::any_of(steps.cbegin(), steps.cend(), [&](const FileStep& s) {
            return !s.noGrV && sameName(s.target, f);
        });
        if (!brought) change.remove(f);
    }
}

}  // namespace

std::optional<QString> AskNewTestName(plat::UiServices& ui, const QString& caption,
                                      const QString& preset) {
    const QString m = ui.input(caption, kTestNamePrompt, preset);
    if (m.isEmpty()) {
        ui.error(kNoNameText);
        return std::nullopt;
    }
    // Under the template's name the test would mix into the template set "new.*".
    if (IsTemplateName(m)) {
        ui.error(kNewRefusedText);
        return std::nullopt;
    }
    if (!CheckTestNameCharacters(ui, m)) return std::nullopt;
    return m;
}

// A change that could not be recorded in the working folder: the operation does nothing.
void notRecorded(plat::UiServices& ui, const QString& what, const QString& journal, int err) {
    ui.error(what + QStringLiteral(": в папку ") +
             QDir::toNativeSeparators(QFileInfo(journal).absolutePath()) +
             QStringLiteral(" нельзя записать (") + ReasonText(err) +
             QStringLiteral(").\rФайлы тестов не изменены."));
}

std::optional<QString> RenameTest(plat::UiServices& ui, const QString& w, const QString& n,
                                  bool web) {
    plat::fs::setCurrentDir(w);
    const std::optional<QString> m = AskNewTestName(ui, QStringLiteral("Измените название теста."),
                                                    QStringLiteral("Новое название"));
    if (!m) return std::nullopt;

    QList<FileStep> steps = tableSteps(n, *m);
    if (web) {
        steps.append(fileStep(n + kHtml, *m + kHtml, true));
        addPictures(steps, n + kPictureInfix + QStringLiteral("*.*"), *m + kPictureInfix, true);
    }
    if (!CheckNameLengths(ui, *m, targetsOf(steps))) return std::nullopt;

    auto notRenamed = [&ui, n](const FileStep& s) {
        if (s.walked()) {
            walkNotMade(ui, s);
            return;
        }
        ui.error(QStringLiteral("Тест <") + n + QStringLiteral("> не переименован:\rфайл ") +
                 s.source + QStringLiteral(" не удалось переименовать в ") + s.target +
                 QStringLiteral(".\rФайлы теста остались под прежним названием."));
    };
    FileSetChange change(w);
    for (const FileStep& s : steps) {
        if (s.noGrV) {
            ui.message(kNoGrVText);
            return std::nullopt;
        }
        // A rename never overwrites: a file of the new name stops it before anything moves.
        if (!plat::fs::fileExists(s.source) ||
            (plat::fs::exists(s.target) && !plat::fs::sameFile(s.source, s.target))) {
            notRenamed(s);
            return std::nullopt;
        }
        auto failed = [notRenamed, s](int) { notRenamed(s); };
        const std::optional<QByteArray> bytes =
            s.page ? renamedPage(ui, s, n, *m, steps) : std::nullopt;
        if (bytes) {
            // The old page goes first, so a new name that differs in letter case alone fits.
            change.remove(s.source, failed);
            change.write(*bytes, s.target, false, failed);
        } else {
            change.move(s.source, s.target, failed);
        }
    }
    change.journalFailed = [&](const QString& journal, int err) {
        notRecorded(ui, QStringLiteral("Тест <") + n + QStringLiteral("> не переименован"), journal,
                    err);
    };
    if (!change.run()) return std::nullopt;
    return m;
}

std::optional<QString> CopyTest(plat::UiServices& ui, const QString& w, const QString& n,
                                bool web) {
    plat::fs::setCurrentDir(w);
    const std::optional<QString> m = AskNewTestName(
        ui, QStringLiteral("Задайте название копии теста."), QStringLiteral("Название копии"));
    if (!m) return std::nullopt;

    QList<FileStep> steps = tableSteps(n, *m);
    if (web) {
        steps.append(fileStep(n + kHtml, *m + kHtml, true));
        addPictures(steps, n + kPictureInfix + QStringLiteral("*.*"), *m + kPictureInfix, true);
    }
    if (!CheckNameLengths(ui, *m, targetsOf(steps))) return std::nullopt;

    FileSetChange change(w);
    const std::optional<bool> replacing = askCopies(
        ui, change, steps, *m, [&](const FileStep& p) { return renamedPage(ui, p, n, *m, steps); });
    if (!replacing) return std::nullopt;
    if (*replacing) removeReplaced(change, steps, ownFiles(QString(), *m, true, web));
    change.journalFailed = [&](const QString& journal, int err) {
        notRecorded(ui, QStringLiteral("Тест <") + n + QStringLiteral("> не скопирован"), journal,
                    err);
    };
    if (!change.run()) return std::nullopt;
    return m;
}

bool DeleteTest(plat::UiServices& ui, const QString& w, const QString& n, DeleteScope scope) {
    if (ui.confirm(QStringLiteral("Вы уверены что хотите удалить тест <") + n +
                   QStringLiteral("> ?")) != plat::Answer::Yes)
        return false;
    FileSetChange change(w);
    const bool whole = scope == DeleteScope::WholeTest;
    for (const QString& f : ownFiles(w, n, whole, true, whole))
        change.remove(f, [&ui, n, f](int err) {
            ui.error(QStringLiteral("Тест <") + n + QStringLiteral("> не удалён: файл ") + f +
                     QStringLiteral(" не удалось удалить (") + ReasonText(err) +
                     QStringLiteral(").\rФайлы теста остались на месте."));
        });
    change.journalFailed = [&](const QString& journal, int err) {
        notRecorded(ui, QStringLiteral("Тест <") + n + QStringLiteral("> не удалён"), journal, err);
    };
    return change.run();
}

std::optional<ImportedTest> ImportTest(plat::UiServices& ui, const QString& w) {
    plat::FileDialogSpec spec;
    spec.initialDir = plat::fs::mapWindowsPath(QStringLiteral("c:\\"));
    spec.fileName = QStringLiteral("*.db");
    spec.defaultExt = QStringLiteral("db");
    spec.fileMustExist = true;
    spec.hideReadOnly = true;
    const std::optional<QString> path =
        AskForTestFile(ui, spec, [](const QString& path) -> std::optional<QString> {
            const QString file = path.mid(path.lastIndexOf(plat::fs::separator()) + 1);
            const QString n = NameBeforeDot(file);
            // Copied into the working folder, a test "new" would mix into the template set; a
            // name with a second dot or a wildcard would make the masks below take other
            // tests' files.
            if (IsTemplateName(n)) return kNewRefusedText;
            if (n.isEmpty() || ExtensionFromDot(file).lastIndexOf(u'.') > 0 ||
                common::ForbiddenInTestName(n))
                return QStringLiteral("недопустимое имя теста <") + file +
                       QStringLiteral(
                           ">:\rимя файла теста - название без точек и знаков "
                           "<*>,<?>,<:> и одно расширение, например Физика.db");
            return std::nullopt;
        });
    if (!path) return std::nullopt;
    const QString n = NameBeforeDot(path->mid(path->lastIndexOf(plat::fs::separator()) + 1));
    bool copied = true;
    // The dialog made the chosen folder current; from W itself there is nothing to copy.
    if (!plat::fs::sameFolder(plat::fs::currentDir(), w)) {
        QList<FileStep> steps;
        WalkMask(n + QStringLiteral(".*"),
                 [&](const QString& entry, const QString& source, const QString&) {
                     const QString newName = w + n + ExtensionFromDot(entry);
                     if (isOwnFile(n, entry)) steps.append({source, newName, entry, newName});
                     return true;
                 });
        addPictures(steps, n + kPictureInfix + QStringLiteral("*.*"), w + n + kPictureInfix, false);
        copied = CheckNameLengths(ui, n, targetsOf(steps));
        FileSetChange change(w);
        std::optional<bool> replacing;
        if (copied) replacing = askCopies(ui, change, steps, n);
        if (replacing && *replacing)
            removeReplaced(change, steps, ownFiles(w, n, true, true, true));
        change.journalFailed = [&](const QString& journal, int err) {
            notRecorded(ui, QStringLiteral("Тест <") + n + QStringLiteral("> не скопирован"),
                        journal, err);
        };
        copied = replacing && change.run();
        if (!copied)
            ui.message(QStringLiteral("файлы теста ") + n +
                       QStringLiteral(" не скопированы в рабочую папку программы."));
    }
    // The page is looked for in the source folder, before W becomes current.
    const bool webPage = plat::fs::fileExists(n + kHtml);
    plat::fs::setCurrentDir(w);
    return ImportedTest{n, webPage, copied};
}

void ExportTest(plat::UiServices& ui, const QString& w, const QString& n, bool table, bool web) {
    plat::FileDialogSpec spec;
    spec.initialDir = plat::fs::mapWindowsPath(QStringLiteral("c:\\"));
    spec.fileName = n;
    const std::optional<QString> chosen = ui.saveFile(spec);
    if (!chosen) return;
    if (n.isEmpty()) {
        ui.error(kNoNameText);
        return;
    }
    const QString t = QDir::toNativeSeparators(*chosen);
    const QString name = t.mid(folderOf(t).size());
    if (IsTemplateName(NameBeforeDot(name)) && plat::fs::sameFolder(folderOf(t), w)) {
        ui.error(kNewRefusedText);
        return;
    }
    // The change is recorded in the folder it writes to, which the working folder need not
    // be; what an export stopped there earlier left is put right first.
    const QString target = folderOf(t).isEmpty() ? plat::fs::currentDir() : folderOf(t);
    const QStringList stuck = RecoverFileSetChange(target);
    if (!stuck.isEmpty()) {
        ui.error(QStringLiteral("В папке ") + target +
                 QStringLiteral(" остались файлы прерванного копирования: ") +
                 stuck.join(QStringLiteral(", ")) + QStringLiteral(". Тест не скопирован."));
        return;
    }

    QList<FileStep> steps;
    if (table) steps = tableSteps(w + n, t);
    if (web) {
        steps.append(fileStep(w + n + kHtml, t + kHtml, true));
        addPictures(steps, w + n + kPictureInfix + QStringLiteral("*.*"), t + kPictureInfix, false);
    }
    if (!CheckNameLengths(ui, name, targetsOf(steps))) return;
    FileSetChange change(target);
    const std::optional<bool> replacing =
        askCopies(ui, change, steps, name,
                  [&](const FileStep& p) { return renamedPage(ui, p, n, name, steps); });
    if (!replacing) return;
    if (*replacing) removeReplaced(change, steps, ownFiles(folderOf(t), name, table, web));
    change.journalFailed = [&](const QString& journal, int err) {
        notRecorded(ui, QStringLiteral("Тест <") + n + QStringLiteral("> не скопирован"), journal,
                    err);
    };
    change.run();
}

}  // namespace korvel
