#include "rtfwriter.h"

#include "charformat.h"
#include "codepage.h"
#include "faces.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>

namespace plat::rtf {

namespace {

constexpr int kCyrillicCharset = 204;

struct FontKey {
    QString family;
    int charset = kCyrillicCharset;
    bool fixedPitch = false;
    bool operator==(const FontKey&) const = default;
};

class Writer {
public:
    explicit Writer(const QTextDocument* doc) : doc_(doc) {
        fonts_.append(FontKey{defaultFamily()});
    }

    QByteArray run() {
        QByteArray body;
        body.reserve(4096);
        CharState w;
        w.font = 0;  // the header makes font 0 the default
        bool firstBlock = true;
        Qt::Alignment align = Qt::AlignLeft;
        for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
            const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
            if (firstBlock || a != align) {
                body += "\\pard";
                if (a & Qt::AlignHCenter)
                    body += "\\qc";
                else if (a & Qt::AlignRight)
                    body += "\\qr";
                else if (a & Qt::AlignJustify)
                    body += "\\qj";
                delimit_ = true;
                align = a;
                firstBlock = false;
            }
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fr = it.fragment();
                writeFormat(body, w, target(fr.charFormat()));
                writeText(body, fr.text(), fontCodePage(w.font));
            }
            body += "\\par\r\n";
            delimit_ = false;
        }

        QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl";
        for (int i = 0; i < fonts_.size(); ++i) {
            const FontKey& f = fonts_[i];
            out += "{\\f" + QByteArray::number(i) + "\\fnil";
            if (f.fixedPitch) out += "\\fprq1";
            out += "\\fcharset" + QByteArray::number(f.charset) + ' ';
            QString name = f.family;
            name.remove(QLatin1Char(';'));
            delimit_ = false;
            writeText(out, name, codePageOf(f.charset));
            out += ";}";
        }
        out += "}\r\n";
        if (!colors_.isEmpty()) {
            out += "{\\colortbl ;";
            for (const QColor& c : colors_)
                out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                       QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) +
                       ';';
            out += "}\r\n";
        }
        out += "\\uc1";
        out += body;
        out += "}";
        return out;
    }

private:
    // The control's font is designed by the face its stand-in draws.
    QString defaultFamily() const { return designedFace(doc_->defaultFont().family()); }
    static int codePageOf(int charset) {
        const int cp = codePageOfCharset(charset);
        return cp ? cp : 1251;
    }
    int fontCodePage(int font) const { return codePageOf(fonts_[font].charset); }

    CharState target(const QTextCharFormat& f) {
        CharState t;
        FontKey key;
        const QStringList families = f.fontFamilies().toStringList();
        key.family = families.isEmpty() ? defaultFamily() : families.first();
        if (f.hasProperty(CharsetProperty)) {
            const int cs = f.intProperty(CharsetProperty);
            if (cs != 1) key.charset = cs;  // DEFAULT_CHARSET is the system's: Cyrillic
        }
        key.fixedPitch = f.fontFixedPitch();
        t.font = fonts_.indexOf(key);
        if (t.font < 0) {
            t.font = fonts_.size();
            fonts_.append(key);
        }
        t.halfPoints = qRound(effectivePointSize(f, doc_) * 2);
        t.bold = f.fontWeight() >= QFont::DemiBold;
        t.italic = f.fontItalic();
        t.underline = f.fontUnderline();
        t.strike = f.fontStrikeOut();
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
            const QColor c = f.foreground().color().toRgb();
            QColor rgb(c.red(), c.green(), c.blue());
            int i = colors_.indexOf(rgb);
            if (i < 0) {
                i = colors_.size();
                colors_.append(rgb);
            }
            t.color = i + 1;
        }
        t.offsetTwips = offsetTwips(f);
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) t.vAlign = 1;
        if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) t.vAlign = 2;
        return t;
    }

    void word(QByteArray& out, const char* w) {
        out += w;
        delimit_ = true;
    }
    void word(QByteArray& out, const char* w, int n) {
        out += w;
        out += QByteArray::number(n);
        delimit_ = true;
    }
    void flag(QByteArray& out, bool& cur, bool want, const char* on, const char* off) {
        if (cur == want) return;
        word(out, want ? on : off);
        cur = want;
    }

    void writeFormat(QByteArray& out, CharState& w, const CharState& t) {
        if (w.font != t.font) word(out, "\\f", w.font = t.font);
        if (w.halfPoints != t.halfPoints) word(out, "\\fs", w.halfPoints = t.halfPoints);
        flag(out, w.bold, t.bold, "\\b", "\\b0");
        flag(out, w.italic, t.italic, "\\i", "\\i0");
        flag(out, w.underline, t.underline, "\\ul", "\\ulnone");
        flag(out, w.strike, t.strike, "\\strike", "\\strike0");
        if (w.color != t.color) word(out, "\\cf", w.color = t.color);
        if (w.offsetTwips != t.offsetTwips) {
            w.offsetTwips = t.offsetTwips;
            // \up and \dn count half-points, ten twips each.
            const int halfPoints = qRound(std::abs(t.offsetTwips) / 10.0);
            if (t.offsetTwips > 0)
                word(out, "\\up", halfPoints);
            else if (t.offsetTwips < 0)
                word(out, "\\dn", halfPoints);
            else
                word(out, "\\up0");
        }
        if (w.vAlign != t.vAlign) {
            w.vAlign = t.vAlign;
            word(out, t.vAlign == 1 ? "\\super" : t.vAlign == 2 ? "\\sub" : "\\nosupersub");
        }
    }

    void writeText(QByteArray& out, const QString& text, int codePage) {
        for (QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u >= 0x20 && u < 0x7F) {
                if (delimit_) out += ' ';
                delimit_ = false;
                if (u == '\\' || u == '{' || u == '}') out += '\\';
                out += char(u);
                continue;
            }
            switch (u) {
                case '\t': word(out, "\\tab"); continue;
                case QChar::LineSeparator: word(out, "\\line"); continue;
                case 0x00A0:
                    out += "\\~";
                    delimit_ = false;
                    continue;
                case 0x00AD:
                    out += "\\-";
                    delimit_ = false;
                    continue;
                case 0x2011:
                    out += "\\_";
                    delimit_ = false;
                    continue;
                case QChar::ObjectReplacementCharacter: continue;
                default: break;
            }
            if (u < 0x20) continue;
            const int b = encodeByte(ch, codePage);
            if (b >= 0) {
                static const char hex[] = "0123456789abcdef";
                out += "\\'";
                out += hex[b >> 4];
                out += hex[b & 15];
                delimit_ = false;
            } else {
                out += "\\u" + QByteArray::number(u > 0x7FFF ? int(u) - 0x10000 : int(u)) + '?';
                delimit_ = false;
            }
        }
    }

    const QTextDocument* doc_;
    QList<FontKey> fonts_;
    QList<QColor> colors_;
    bool delimit_ = false;  // a control word was written last and needs a blank before text
};

}  // namespace

QByteArray write(const QTextDocument* doc) { return Writer(doc).run(); }

}  // namespace plat::rtf
