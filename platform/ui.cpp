#include "ui.h"

#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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
    if (standing_) {
        Folded& f = *standing_;
        ++f.count;
        auto same = std::find_if(f.texts.begin(), f.texts.end(),
                                 [&](const auto& t) { return t.first == text; });
        if (same != f.texts.end())
            ++same->second;
        else
            f.texts.append({text, 1});
        amendStandardError(foldedErrorText(f.text, f.count, f.texts));
        return;
    }
    standing_ = Folded{text, 0, {}};
    struct Closed {
        std::optional<Folded>& standing;
        ~Closed() { standing.reset(); }
    } closed{standing_};
    show({BoxKind::StandardError, title(), text, {Button::Ok}, {}});
}

QString foldedErrorText(const QString& first, int count,
                        const QList<std::pair<QString, int>>& texts) {
    constexpr int kTexts = 3;     // texts listed; the rest are only counted
    constexpr int kLength = 100;  // characters of a text listed
    if (count == 0) return first;
    QString out = first + QStringLiteral("\r\n\r\nПока открыто это окно, ещё ошибок: ") +
                  QString::number(count);
    int listed = 0;
    for (qsizetype i = 0; i < texts.size() && i < kTexts; ++i) {
        const auto& [text, n] = texts[i];
        QString line = text.simplified();
        if (line.size() > kLength) line = line.left(kLength) + QStringLiteral("...");
        out += QStringLiteral("\r\n") + line;
        if (n > 1) out += QStringLiteral(" (%1)").arg(n);
        listed += n;
    }
    if (listed < count) out += QStringLiteral("\r\nи другие: %1").arg(count - listed);
    return out;
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
