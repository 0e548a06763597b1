#pragma once
// Reading back what the web generator wrote: the page's bytes split into lines, with the
// numeric references turned back into their characters.
#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace web_test {

// "&#N;" back to its character; anything else, a reference without ";" included, stays.
inline QString decodeRefs(const QString& text) {
    static const QRegularExpression ref(QStringLiteral("&#(\\d+);"));
    QString out;
    qsizetype at = 0;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(at, m.capturedStart() - at);
        const char32_t cp = m.captured(1).toUInt();
        out += QString::fromUcs4(&cp, 1);
        at = m.capturedEnd();
    }
    return out + text.mid(at);
}

// The page's lines as written (each must end with CR LF), decoded.
inline QStringList pageLines(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& l : lines) l = decodeRefs(l);
    return lines;
}

inline bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace web_test
