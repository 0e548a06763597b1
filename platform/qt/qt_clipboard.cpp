// The clipboard over QClipboard: on X11 the CLIPBOARD selection, which Qt converts to and
// from the mime types other programs offer.
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringDecoder>

namespace plat {

namespace {

class QtClipboard : public Clipboard {
public:
    const QMimeData* data() override { return QGuiApplication::clipboard()->mimeData(); }
    void setImage(const QImage& image) override { QGuiApplication::clipboard()->setImage(image); }
};

// The charset a "text/plain;charset=..." type names; empty for any other type.
QString charsetOf(const QString& type) {
    const QStringList parts = type.split(u';');
    if (parts.size() < 2 || parts[0].trimmed().compare(u"text/plain", Qt::CaseInsensitive) != 0)
        return {};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString p = parts[i].trimmed();
        if (!p.startsWith(u"charset=", Qt::CaseInsensitive)) continue;
        QString name = p.mid(8).trimmed();
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.mid(1, name.size() - 2);
        return name;
    }
    return {};
}

bool isUtf8(const QString& charset) {
    return charset.compare(u"utf-8", Qt::CaseInsensitive) == 0 ||
           charset.compare(u"utf8", Qt::CaseInsensitive) == 0;
}

// X11 string targets by their own names, as a platform that does not map them may list them.
struct StringTarget {
    const char* name;
    bool utf8;  // else ISO 8859-1, as X11 defines STRING
};
constexpr StringTarget kStringTargets[] = {
    {"UTF8_STRING", true}, {"STRING", false}, {"TEXT", false}};

QString withoutTrailingNul(QString text) {
    while (text.endsWith(QChar(0))) text.chop(1);
    return text;
}

}  // namespace

Clipboard& qtClipboard() {
    static QtClipboard c;
    return c;
}

bool hasPlainText(const QMimeData* data) {
    if (!data) return false;
    for (const QString& type : data->formats()) {
        if (type.compare(u"text/plain", Qt::CaseInsensitive) == 0 || !charsetOf(type).isEmpty())
            return true;
        for (const StringTarget& t : kStringTargets)
            if (type == QLatin1String(t.name)) return true;
    }
    return false;
}

std::optional<QString> plainText(const QMimeData* data) {
    if (!data) return std::nullopt;
    const QStringList types = data->formats();
    // A named charset first, UTF-8 before the others: the bytes say what they are.
    QStringList charsetTypes;
    for (const QString& type : types) {
        const QString cs = charsetOf(type);
        if (cs.isEmpty()) continue;
        if (isUtf8(cs))
            charsetTypes.prepend(type);
        else
            charsetTypes.append(type);
    }
    for (const QString& type : charsetTypes) {
        QStringDecoder decode(charsetOf(type).toLatin1().constData());
        if (!decode.isValid()) continue;
        return withoutTrailingNul(decode(data->data(type)));
    }
    // Qt's own text: on X11 it is taken from the string targets too.
    if (data->hasText()) return withoutTrailingNul(data->text());
    for (const StringTarget& t : kStringTargets) {
        const QString type = QLatin1String(t.name);
        if (!types.contains(type)) continue;
        const QByteArray bytes = data->data(type);
        return withoutTrailingNul(t.utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes));
    }
    return std::nullopt;
}

}  // namespace plat
