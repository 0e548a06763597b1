#include "editor/fileops/operations.h"

#include "editor/fileops/fileset.h"
#include "editor/fileops/page_names.h"
#include "editor/fileops/test_dialog.h"
#include "platform/files.h"

#include <QDir>
#include <QList>
#include <algorithm>
#include <utility>

namespace korvel {
namespace {

const QString kGrV = QStringLiteral("GrV");
const QString kHtml = QStringLiteral(".HTML");
const QString kNoName = QStringLiteral("Не задано название теста");
const QString kNewRefused = QStringLiteral("NEW - недопустимое имя теста");

bool isTemplateName(const QString& name) {
    return name.compare(QLatin1String("new"), Qt::CaseInsensitive) == 0;
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(plat::fs::separator()) + 1);
}

// A file that N + ".*" matches is N's own when nothing but an extension follows N: N + ".2.DB"
// belongs to a test "N.2", and "AGrV1.jpg" is test A's picture, not a file of a test "AGrV1".
bool isOwnFile(const QString& n, const QString& entry) {
    if (entry.mid(n.size() + 1).contains(u'.')) return false;
    const qsizetype at = entry.indexOf(kGrV);
    return at <= 0 || !IsPictureRest(entry.mid(at + kGrV.size()));
}

bool isOwnPicture(const QString& n, const QString& entry) {
    return IsPictureRest(entry.mid(n.size() + kGrV.size()));
}

void deleteOwn(const QString& mask, const QString& n, bool (*own)(const QString&, const QString&)) {
    WalkMask(mask, [&](const QString& entry, const QString& source, const QString&) {
        return !own(n, entry) || plat::fs::deleteFile(source);
    });
}

// Copies files and remembers the targets it created, so a stopped operation can take them
// away again. A target that existed before is never removed.
class Copier {
public:
    explicit Copier(plat::UiServices& ui) : ui_(ui) {}
    bool copy(const QString& from, const QString& to) {
        const bool existed = plat::fs::exists(to);
        const bool copied = CopyTestFile(ui_, from, to);
        // A failed copy may still have left a partial file behind.
        if (!existed && plat::fs::fileExists(to)) created_.append(to);
        return copied;
    }
    void removeCreated() {
        for (const QString& f : created_) plat::fs::deleteFile(f);
        created_.clear();
    }

private:
    plat::UiServices& ui_;
    QStringList created_;
};

void rewritePage(plat::UiServices& ui, const QString& page, const QString& from, const QString& to,
                 const QString& folder) {
    if (const auto why = RenamePageReferences(page, from, to, folder))
        ui.message(QStringLiteral("ссылки на рисунки в ") + page +
                   QStringLiteral(" не обновлены:\r") + *why);
}

}  // namespace

std::optional<QString> AskNewTestName(plat::UiServices& ui, const QString& caption,
                                      const QString& preset) {
    const QString m = ui.input(caption, kTestNamePrompt, preset);
    if (m.isEmpty()) {
        ui.error(kNoName);
        return std::nullopt;
    }
    // Under the template's name the test would mix into the template set "new.*".
    if (isTemplateName(m)) {
        ui.error(kNewRefused);
        return std::nullopt;
    }
    if (!CheckTestNameCharacters(ui, m)) return std::nullopt;
    return m;
}

std::optional<QString> RenameTest(plat::UiServices& ui, const QString& w, const QString& n,
                                  bool web) {
    plat::fs::setCurrentDir(w);
    const std::optional<QString> m = AskNewTestName(ui, QStringLiteral("Измените название теста."),
                                                    QStringLiteral("Новое название"));
    if (!m) return std::nullopt;

    QList<std::pair<QString, QString>> done;
    std::pair<QString, QString> failed;
    auto rename = [&](const QString& from, const QString& to) {
        if (plat::fs::renameFile(from, to)) {
            done.append({from, to});
            return true;
        }
        failed = {from, to};
        return false;
    };
    bool ok = WalkTableFiles(n, [&](const QString& ext) { return rename(n + ext, *m + ext); });
    if (ok && web) ok = rename(n + kHtml, *m + kHtml);
    if (!ok) {
        // A test split across two names could be chosen under neither: put it back whole.
        QStringList stuck;
        for (auto it = done.crbegin(); it != done.crend(); ++it)
            if (!plat::fs::renameFile(it->second, it->first)) stuck.append(it->second);
        QString text = QStringLiteral("Тест <") + n + QStringLiteral("> не переименован:\rфайл ") +
                       failed.first + QStringLiteral(" не удалось переименовать в ") +
                       failed.second + QStringLiteral(".\r");
        text += stuck.isEmpty() ? QStringLiteral("Файлы теста остались под прежним названием.")
                                : QStringLiteral("Не удалось вернуть прежнее название файлам: ") +
                                      stuck.join(QStringLiteral(", "));
        ui.error(text);
        return std::nullopt;
    }
    if (web) {
        RenamePictureFiles(ui, n + kGrV + QStringLiteral("*.*"), *m + kGrV);
        rewritePage(ui, *m + kHtml, n, *m, QString());
    }
    return m;
}

std::optional<QString> CopyTest(plat::UiServices& ui, const QString& w, const QString& n,
                                bool web) {
    plat::fs::setCurrentDir(w);
    const std::optional<QString> m = AskNewTestName(
        ui, QStringLiteral("Задайте название копии теста."), QStringLiteral("Название копии"));
    if (!m) return std::nullopt;

    Copier copier(ui);
    bool ok = WalkTableFiles(n, [&](const QString& ext) { return copier.copy(n + ext, *m + ext); });
    if (ok && web) ok = copier.copy(n + kHtml, *m + kHtml);
    if (!ok) {
        // A half copy could be chosen as a test: take back what this copy made.
        copier.removeCreated();
        return std::nullopt;
    }
    if (web) {
        CopyPictureFiles(ui, n + kGrV + QStringLiteral("*.*"), *m + kGrV);
        rewritePage(ui, *m + kHtml, n, *m, QString());
    }
    return m;
}

bool DeleteTest(plat::UiServices& ui, const QString& w, const QString& n, DeleteScope scope) {
    if (ui.confirm(QStringLiteral("Вы уверены что хотите удалить тест <") + n +
                   QStringLiteral("> ?")) != plat::Answer::Yes)
        return false;
    if (scope == DeleteScope::WholeTest)
        deleteOwn(w + n + QStringLiteral(".*"), n, isOwnFile);
    else
        DeleteFilesByMask(ui, w + n + kHtml);
    deleteOwn(w + n + kGrV + QStringLiteral("*.*"), n, isOwnPicture);
    return true;
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
            if (isTemplateName(n)) return kNewRefused;
            static const QString wild = QStringLiteral("*?:");
            if (n.isEmpty() || ExtensionFromDot(file).lastIndexOf(u'.') > 0 ||
                std::any_of(n.begin(), n.end(), [](QChar c) { return wild.contains(c); }))
                return QStringLiteral("недопустимое имя теста <") + file +
                       QStringLiteral(
                           ">:\rимя файла теста - название без точек и знаков "
                           "<*>,<?>,<:> и одно расширение, например Физика.db");
            return std::nullopt;
        });
    if (!path) return std::nullopt;
    const QString n = NameBeforeDot(path->mid(path->lastIndexOf(plat::fs::separator()) + 1));
    // The dialog made the chosen folder current; from W itself there is nothing to copy.
    if (!plat::fs::sameFolder(plat::fs::currentDir(), w)) {
        WalkMask(n + QStringLiteral(".*"),
                 [&](const QString& entry, const QString& source, const QString& folder) {
                     if (!isOwnFile(n, entry)) return true;
                     const QString newName = w + n + ExtensionFromDot(entry);
                     if (CopyTestFile(ui, source, folder + newName)) return true;
                     ui.message(QStringLiteral("копирование ") + entry + QStringLiteral(" в ") +
                                newName + QStringLiteral(" не выполнено"));
                     return false;
                 });
        CopyPictureFiles(ui, n + kGrV + QStringLiteral("*.*"), w + n + kGrV);
    }
    // The page is looked for in the source folder, before W becomes current.
    const bool webPage = plat::fs::fileExists(n + kHtml);
    plat::fs::setCurrentDir(w);
    return ImportedTest{n, webPage};
}

void ExportTest(plat::UiServices& ui, const QString& w, const QString& n, bool table, bool web) {
    plat::FileDialogSpec spec;
    spec.initialDir = plat::fs::mapWindowsPath(QStringLiteral("c:\\"));
    spec.fileName = n;
    const std::optional<QString> chosen = ui.saveFile(spec);
    if (!chosen) return;
    if (n.isEmpty()) {
        ui.error(kNoName);
        return;
    }
    const QString t = QDir::toNativeSeparators(*chosen);
    const QString name = t.mid(folderOf(t).size());
    if (isTemplateName(NameBeforeDot(name)) && plat::fs::sameFolder(folderOf(t), w)) {
        ui.error(kNewRefused);
        return;
    }
    Copier copier(ui);
    if (table && !WalkTableFiles(w + n, [&](const QString& ext) {
            return copier.copy(w + n + ext, t + ext);
        })) {
        copier.removeCreated();
        return;
    }
    if (web) {
        if (!copier.copy(w + n + kHtml, t + kHtml)) {
            copier.removeCreated();
            return;
        }
        CopyPictureFilesTo(ui, w + n + kGrV + QStringLiteral("*.*"), t + kGrV);
        rewritePage(ui, t + kHtml, n, name, folderOf(t));
    }
}

}  // namespace korvel
