#include "ui.h"

#include "platform/files.h"

#include <QDir>
#include <QFileInfo>

namespace plat {

void UiServices::message(const QString& text) {
    show({BoxKind::Plain, title(), text, {Button::Ok}, {}});
}

void UiServices::error(const QString& text) {
    show({BoxKind::Error, QStringLiteral("Error"), text, {Button::Ok}, {}});
}

void UiServices::information(const QString& text) {
    show({BoxKind::Information, QStringLiteral("Information"), text, {Button::Ok}, {}});
}

Answer UiServices::confirm(const QString& text, QList<Button> buttons) {
    return show({BoxKind::Confirmation, QStringLiteral("Confirm"), text, std::move(buttons), {}})
        .answer;
}

QString UiServices::input(const QString& caption, const QString& prompt, const QString& preset) {
    const QString p = preset.left(255);
    const BoxReply r = show({BoxKind::Input, caption, prompt, {Button::Ok, Button::Cancel}, p});
    return r.answer == Answer::Ok ? r.input : p;
}

void UiServices::standardError(const QString& text) {
    show({BoxKind::StandardError, title(), text, {Button::Ok}, {}});
}

QString findTypedFile(const QString& dir, const QString& typed, const QString& defaultExt) {
    const QString path = QDir::isAbsolutePath(typed) ? typed : QDir(dir).filePath(typed);
    if (fs::fileExists(path)) return fs::resolve(path);
    if (defaultExt.isEmpty() || !QFileInfo(typed).suffix().isEmpty()) return {};
    const QString withExt = path + u'.' + defaultExt;
    return fs::fileExists(withExt) ? fs::resolve(withExt) : QString();
}

QString titleFromProgramName(const QString& programPath) {
    // Everything from the first dot on is the extension here.
    QString path = programPath;
    path.replace(u'\\', u'/');
    const QString base = QFileInfo(path).baseName();
    if (base.isEmpty()) return base;
    return base.left(1) + base.mid(1).toLower();
}

}  // namespace plat
