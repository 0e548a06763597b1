#include "editor/web/encoding.h"

#include "platform/codec.h"

namespace korvel::web {

namespace {

void appendReference(QByteArray& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0xA0) {
        out += '?';
    } else {
        // The ";" ends the reference: a digit that follows stays a digit.
        char digits[8];
        int n = 0;
        for (quint32 v = quint32(cp); v; v /= 10) digits[n++] = char('0' + v % 10);
        out += "&#";
        while (n) out += digits[--n];
        out += ';';
    }
}

}  // namespace

void AppendHtmlEncoded(QByteArray& out, QStringView text) {
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c.unicode() < 0x80) {
            out += char(c.unicode());
        } else if (c.isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate()) {
            appendReference(out, QChar::surrogateToUcs4(c, text[k + 1]));
            ++k;
        } else if (c.isSurrogate()) {
            out += '?';
        } else {
            appendReference(out, c.unicode());
        }
    }
}

QString HtmlEncodeChar(unsigned char byte) {
    return HtmlEncodeText(plat::fromCp1251(QByteArray(1, char(byte))));
}

QString HtmlEncodeText(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    AppendHtmlEncoded(out, text);
    return QString::fromLatin1(out);
}

QString JsStringText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            out += u'\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7F || u == u'<' || u == u'&') {
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString JsAttributeText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'\'': out += QStringLiteral("\\'"); break;
            case u'\\': out += QStringLiteral("\\\\"); break;
            case u'&': out += QStringLiteral("&amp;"); break;
            case u'"': out += QStringLiteral("&quot;"); break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace korvel::web
