#include "editor/fileops/page_names.h"

#include "editor/fileops/fileset.h"
#include "platform/codec.h"

#include <QRegularExpression>

namespace korvel {

QByteArray PageName(const QString& name) {
    QByteArray out;
    for (const char c : plat::toCp1251(name)) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b >= 0xC0)
            out += "&#" + QByteArray::number(b + 848);
        else if (b == 0xA8)
            out += "&#1025";
        else if (b == 0xB8)
            out += "&#1105";
        else if (b == 0xB9)
            out += " &#8470 ";
        else
            out += '?';
    }
    return out;
}

std::optional<QByteArray> PageWithRenamedReferences(
    const QByteArray& page, const QString& oldName, const QString& newName,
    const std::function<bool(const QString& picture)>& hasPicture) {
    const QByteArray from = PageName(oldName);
    const QByteArray to = PageName(newName);
    if (from == to) return std::nullopt;
    // Latin-1 maps every byte to one character and back, so the head stays as it was.
    const QString text = QString::fromLatin1(page);
    const QString f = QRegularExpression::escape(QString::fromLatin1(from));
    const QString t = QString::fromLatin1(to);
    QString out;
    const QRegularExpression ref(QStringLiteral("(src=\"|qq=\")") + f +
                                 QStringLiteral("(GrV([0-9]+)\\.jpg)?\""));
    qsizetype last = 0;
    bool changed = false;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool qq = m.captured(1) == QLatin1String("qq=\"");
        const bool picture = !m.captured(2).isEmpty();
        // qq names the test alone; a src names a picture, which must exist under the new name.
        const bool rewrite = qq ? !picture
                                : picture && hasPicture(newName + kPictureInfix + m.captured(3) +
                                                        QStringLiteral(".jpg"));
        if (!rewrite) continue;
        out += text.mid(last, m.capturedStart() - last);
        out += m.captured(1) + t + m.captured(2) + u'"';
        last = m.capturedEnd();
        changed = true;
    }
    if (!changed) return std::nullopt;
    out += text.mid(last);
    return out.toLatin1();
}

}  // namespace korvel
