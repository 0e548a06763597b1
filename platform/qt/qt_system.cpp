// The Qt implementations of the shell, the system and the single-copy guard.
#include "platform/clipboard.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/screen.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <map>
#include <memory>

namespace plat {

namespace {

class QtShell : public Shell {
public:
    void open(const QString& path) override {
        const QString found = fs::resolve(path);
        const QString abs = QFileInfo(found.isEmpty() ? path : found).absoluteFilePath();
        QDesktopServices::openUrl(QUrl::fromLocalFile(abs));
    }
};

class QtSystem : public System {
public:
    void beep() override { QApplication::beep(); }
    QRect availableArea() override {
        const QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect();
    }
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

}  // namespace

Shell& qtShell() {
    static QtShell s;
    return s;
}

System& qtSystem() {
    static QtSystem s;
    return s;
}

Services qtServices() {
    return {&qtUi(), &qtShell(), nullptr, &qtSystem(), &qtClipboard(), &qtScreen()};
}

namespace {

// Held until the application object goes; QLockFile knows a lock whose process is gone.
std::map<QString, std::unique_ptr<QLockFile>>& heldLocks() {
    static std::map<QString, std::unique_ptr<QLockFile>> held;
    return held;
}

void releaseLocks() { heldLocks().clear(); }

}  // namespace

bool acquireSingleCopy(const QString& appTitle) {
    auto& held = heldLocks();
    if (held.count(appTitle)) return true;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QString name = appTitle;
    name.replace(u'/', u'_');
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(name + QStringLiteral(".lock")));
    lock->setStaleLockTime(0);  // only a dead owner makes a lock stale, never its age
    if (!lock->tryLock(0)) return false;
    if (held.empty()) qAddPostRoutine(releaseLocks);
    held[appTitle] = std::move(lock);
    return true;
}

}  // namespace plat
