#include "rtfreader.h"

#include "charformat.h"
#include "codepage.h"
#include "faces.h"
#include "platform/codec.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat::rtf {

namespace {

constexpr int kMaxDepth = 200;          // deeper groups share the format of the deepest one kept
constexpr int kMaxWordLength = 32;      // the longest control word RTF allows
constexpr int kDefaultCodePage = 1251;  // the ANSI code page of the system

enum class Dest { Text, Skip, FontTable, ColorTable };

struct State {
    CharState chr;
    Qt::Alignment align = Qt::AlignLeft;
    Dest dest = Dest::Text;
    int uc = 1;
};

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0;
    bool fixedPitch = false;
};

enum class Kw {
    Unknown,
    Deff,
    Ansi,
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    FontTable,
    ColorTable,
    F,
    FCharset,
    Cpg,
    Fprq,
    Red,
    Green,
    Blue,
    Fs,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    Cf,
    Up,
    Dn,
    Super,
    Sub,
    NoSuperSub,
    Plain,
    Pard,
    Par,
    Line,
    Tab,
    Ql,
    Qc,
    Qr,
    Qj,
    U,
    Uc,
    Bin,
    Char,
    Skip
};

struct KwInfo {
    Kw kw;
    char16_t ch = 0;  // Kw::Char
};

const std::unordered_map<std::string_view, KwInfo>& keywords() {
    static const std::unordered_map<std::string_view, KwInfo> map = [] {
        std::unordered_map<std::string_view, KwInfo> m = {
            {"deff", {Kw::Deff}},
            {"ansi", {Kw::Ansi}},
            {"ansicpg", {Kw::AnsiCpg}},
            {"mac", {Kw::Mac}},
            {"pc", {Kw::Pc}},
            {"pca", {Kw::Pca}},
            {"fonttbl", {Kw::FontTable}},
            {"colortbl", {Kw::ColorTable}},
            {"f", {Kw::F}},
            {"fcharset", {Kw::FCharset}},
            {"cpg", {Kw::Cpg}},
            {"fprq", {Kw::Fprq}},
            {"red", {Kw::Red}},
            {"green", {Kw::Green}},
            {"blue", {Kw::Blue}},
            {"fs", {Kw::Fs}},
            {"b", {Kw::B}},
            {"i", {Kw::I}},
            {"ul", {Kw::Ul}},
            {"ulnone", {Kw::UlNone}},
            {"strike", {Kw::Strike}},
            {"striked", {Kw::Strike}},
            {"cf", {Kw::Cf}},
            {"up", {Kw::Up}},
            {"dn", {Kw::Dn}},
            {"super", {Kw::Super}},
            {"sub", {Kw::Sub}},
            {"nosupersub", {Kw::NoSuperSub}},
            {"plain", {Kw::Plain}},
            {"pard", {Kw::Pard}},
            {"par", {Kw::Par}},
            {"row", {Kw::Par}},
            {"nestrow", {Kw::Par}},
            {"page", {Kw::Par}},
            {"sect", {Kw::Par}},
            {"line", {Kw::Line}},
            {"tab", {Kw::Tab}},
            {"cell", {Kw::Tab}},
            {"nestcell", {Kw::Tab}},
            {"ql", {Kw::Ql}},
            {"qc", {Kw::Qc}},
            {"qr", {Kw::Qr}},
            {"qj", {Kw::Qj}},
            {"qd", {Kw::Qj}},
            {"u", {Kw::U}},
            {"uc", {Kw::Uc}},
            {"bin", {Kw::Bin}},
            {"emdash", {Kw::Char, 0x2014}},
            {"endash", {Kw::Char, 0x2013}},
            {"lquote", {Kw::Char, 0x2018}},
            {"rquote", {Kw::Char, 0x2019}},
            {"ldblquote", {Kw::Char, 0x201C}},
            {"rdblquote", {Kw::Char, 0x201D}},
            {"bullet", {Kw::Char, 0x2022}},
            {"emspace", {Kw::Char, 0x2003}},
            {"enspace", {Kw::Char, 0x2002}},
            {"qmspace", {Kw::Char, 0x2005}},
            {"zwj", {Kw::Char, 0x200D}},
            {"zwnj", {Kw::Char, 0x200C}},
            {"ltrmark", {Kw::Char, 0x200E}},
            {"rtlmark", {Kw::Char, 0x200F}},
        };
        // Underline kinds: all of them show as underlined.
        for (const char* w :
             {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            m.emplace(w, KwInfo{Kw::Ul});
        // Destinations whose content is not text of the document.
        for (const char* w : {"stylesheet",
                              "info",
                              "pict",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "fldinst",
                              "xe",
                              "tc",
                              "txe",
                              "rxe",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "rsidtbl",
                              "filetbl",
                              "nonshppict",
                              "shpinst",
                              "objdata",
                              "objclass",
                              "objname",
                              "bkmkstart",
                              "bkmkend",
                              "atnid",
                              "atnauthor",
                              "atndate",
                              "atnref",
                              "template",
                              "datafield",
                              "themedata",
                              "colorschememapping",
                              "latentstyles",
                              "pgdsctbl",
                              "generator",
                              "userprops",
                              "xmlnstbl",
                              "docvar",
                              "fchars",
                              "lchars",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "pn",
                              "pnseclvl",
                              "protusertbl",
                              "background",
                              "falt",
                              "panose",
                              "datastore",
                              "passwordhash",
                              "wgrffmtfilter",
                              "mmathPr",
                              "do",
                              "keywords",
                              "comment",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "doccomm"})
            m.emplace(w, KwInfo{Kw::Skip});
        return m;
    }();
    return map;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray& in, qsizetype start, QTextDocument* doc)
        : p_(in.constData() + start), end_(in.constData() + in.size()), cursor_(doc) {
        stack_.push_back(State{});
    }

    void run() {
        // One edit block: the document tells its layout of the change once, at the end.
        cursor_.beginEditBlock();
        while (p_ < end_ && !done_) {
            const char c = *p_++;
            switch (c) {
                case '{': openGroup(); break;
                case '}': closeGroup(); break;
                case '\\': control(); break;
                case '\r':
                case '\n': break;
                default: textByte(static_cast<unsigned char>(c)); break;
            }
        }
        finish();
        cursor_.endEditBlock();
    }

private:
    State& st() { return stack_.back(); }

    void openGroup() {
        skip_ = 0;
        if (static_cast<int>(stack_.size()) < kMaxDepth)
            stack_.push_back(stack_.back());
        else
            ++overflow_;
    }

    void closeGroup() {
        skip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (st().dest == Dest::FontTable) commitFont();
        if (stack_.size() <= 2) {
            // The document's own group ends here; what follows it is not part of it.
            if (stack_.size() == 2) done_ = true;
            return;
        }
        stack_.pop_back();
    }

    void control() {
        if (p_ >= end_) return;
        if (!isLetter(*p_)) {
            controlSymbol(*p_++);
            return;
        }
        const char* w = p_;
        while (p_ < end_ && isLetter(*p_)) ++p_;
        const std::string_view word(w, p_ - w);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (p_ < end_ && *p_ == '-') {
            negative = true;
            ++p_;
        }
        while (p_ < end_ && isDigit(*p_)) {
            hasParam = true;
            if (param < 100000000000LL) param = param * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ') ++p_;
        if (negative) param = -param;
        param = std::clamp<long long>(param, INT32_MIN, INT32_MAX);
        if (word.size() > static_cast<size_t>(kMaxWordLength)) {
            countSkipped();
            return;
        }
        controlWord(word, hasParam, static_cast<int>(param));
    }

    // A control word read while the fall-back characters of \u are being passed over
    // counts as one of them.
    bool countSkipped() {
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        return false;
    }

    void controlSymbol(char c) {
        if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
                value = value * 16 + hexValue(*p_++);
                ++digits;
            }
            if (digits == 0) return;
            if (st().dest == Dest::FontTable) {
                if (!countSkipped() && fontPending_) fontName_.append(char(value));
                return;
            }
            textByte(static_cast<unsigned char>(value), /*literal=*/false);
            return;
        }
        if (c == '\\' || c == '{' || c == '}') {
            textByte(static_cast<unsigned char>(c));
            return;
        }
        if (c == '*') {
            st().dest = Dest::Skip;
            return;
        }
        if (countSkipped()) return;
        switch (c) {
            case '~': emitChar(QChar(0x00A0)); break;
            case '_': emitChar(QChar(0x2011)); break;
            case '-': emitChar(QChar(0x00AD)); break;
            case '\r':
            case '\n': paragraph(); break;
            case '\t': emitChar(QChar('\t')); break;
            default: break;  // \: and \| show nothing
        }
    }

    void controlWord(std::string_view word, bool hasParam, int param) {
        const auto it = keywords().find(word);
        const KwInfo info = it == keywords().end() ? KwInfo{Kw::Unknown} : it->second;
        if (info.kw == Kw::Bin) {
            // Binary data of that many bytes follows; it is never text.
            const long long n = hasParam && param > 0 ? param : 0;
            p_ += std::min<long long>(n, end_ - p_);
            countSkipped();
            return;
        }
        if (countSkipped()) return;
        State& s = st();
        CharState& c = s.chr;
        const bool on = !hasParam || param != 0;
        switch (info.kw) {
            case Kw::Unknown: break;
            case Kw::Deff: deff_ = param; break;
            case Kw::Ansi: break;  // the system's ANSI page, Windows-1251, unless \ansicpg
            case Kw::AnsiCpg:
                if (knownCodePage(param)) ansiCp_ = param;
                break;
            case Kw::Mac: ansiCp_ = 10000; break;
            case Kw::Pc: ansiCp_ = 437; break;
            case Kw::Pca: ansiCp_ = 850; break;
            case Kw::FontTable: s.dest = Dest::FontTable; break;
            case Kw::ColorTable:
                s.dest = Dest::ColorTable;
                red_ = green_ = blue_ = 0;
                colorSet_ = false;
                break;
            case Kw::F:
                if (!hasParam) break;
                if (s.dest == Dest::FontTable) {
                    commitFont();
                    fontPending_ = true;
                    fontNumber_ = param;
                    font_ = Font{};
                } else {
                    c.font = param;
                }
                break;
            case Kw::FCharset:
                if (s.dest == Dest::FontTable) font_.charset = param;
                break;
            case Kw::Cpg:
                if (s.dest == Dest::FontTable && knownCodePage(param)) font_.codePage = param;
                break;
            case Kw::Fprq:
                if (s.dest == Dest::FontTable) font_.fixedPitch = param == 1;
                break;
            case Kw::Red: red_ = std::clamp(param, 0, 255), colorSet_ = true; break;
            case Kw::Green: green_ = std::clamp(param, 0, 255), colorSet_ = true; break;
            case Kw::Blue: blue_ = std::clamp(param, 0, 255), colorSet_ = true; break;
            case Kw::Fs: c.halfPoints = hasParam ? std::clamp(param, 2, 3276) : 24; break;
            case Kw::B: c.bold = on; break;
            case Kw::I: c.italic = on; break;
            case Kw::Ul: c.underline = on; break;
            case Kw::UlNone: c.underline = false; break;
            case Kw::Strike: c.strike = on; break;
            case Kw::Cf: c.color = hasParam ? param : 0; break;
            case Kw::Up: c.offsetTwips = 10 * (hasParam ? std::clamp(param, 0, 3276) : 6); break;
            case Kw::Dn: c.offsetTwips = -10 * (hasParam ? std::clamp(param, 0, 3276) : 6); break;
            case Kw::Super: c.vAlign = 1; break;
            case Kw::Sub: c.vAlign = 2; break;
            case Kw::NoSuperSub: c.vAlign = 0; break;
            case Kw::Plain: c = CharState{}; break;
            case Kw::Pard: s.align = Qt::AlignLeft; break;
            case Kw::Par: paragraph(); break;
            case Kw::Line: emitChar(QChar(QChar::LineSeparator)); break;
            case Kw::Tab: emitChar(QChar('\t')); break;
            case Kw::Ql: s.align = Qt::AlignLeft; break;
            case Kw::Qc: s.align = Qt::AlignHCenter; break;
            case Kw::Qr: s.align = Qt::AlignRight; break;
            case Kw::Qj: s.align = Qt::AlignJustify; break;
            case Kw::U: {
                if (!hasParam) break;
                int code = param;
                if (code < 0) code += 65536;
                if (code >= 0 && code <= 0xFFFF) emitChar(QChar(char16_t(code)));
                skip_ = s.uc;
                break;
            }
            case Kw::Uc: s.uc = std::clamp(param, 0, 16); break;
            case Kw::Char: emitChar(QChar(info.ch)); break;
            case Kw::Skip: s.dest = Dest::Skip; break;
            case Kw::Bin: break;
        }
    }

    void textByte(unsigned char b, bool literal = true) {
        if (countSkipped()) return;
        switch (st().dest) {
            case Dest::Skip: return;
            case Dest::FontTable:
                if (b == ';')
                    commitFont();
                else if (fontPending_)
                    fontName_.append(char(b));
                return;
            case Dest::ColorTable:
                if (b == ';') {
                    colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
                    formats_.clear();
                    red_ = green_ = blue_ = 0;
                    colorSet_ = false;
                }
                return;
            case Dest::Text: break;
        }
        if (literal && b == '\t') {
            emitChar(QChar('\t'));
            return;
        }
        syncFormat();
        const int cp = codePage();
        if (!bytes_.isEmpty() && cp != bytesCp_) flushBytes();
        bytesCp_ = cp;
        bytes_.append(char(b));
    }

    void emitChar(QChar ch) {
        if (st().dest != Dest::Text) return;
        syncFormat();
        flushBytes();
        appendText(QString(ch));
    }

    void appendText(const QString& text) {
        for (QChar ch : text)
            if (ch.unicode() >= 0x20 || ch == u'\t') run_.append(ch);
    }

    int codePage() const {
        const auto it = fonts_.constFind(fontNumber(stack_.back().chr));
        if (it != fonts_.constEnd()) {
            if (it->codePage) return it->codePage;
            if (const int cp = codePageOfCharset(it->charset)) return cp;
        }
        return ansiCp_;
    }

    int fontNumber(const CharState& c) const { return c.font >= 0 ? c.font : deff_; }

    void commitFont() {
        if (!fontPending_) return;
        fontPending_ = false;
        int cp = font_.codePage ? font_.codePage : codePageOfCharset(font_.charset);
        font_.name = decode(fontName_, cp ? cp : ansiCp_).trimmed();
        fontName_.clear();
        fonts_.insert(fontNumber_, font_);
        formats_.clear();
    }

    // Text already gathered keeps the format it was read in.
    void syncFormat() {
        const CharState& c = stack_.back().chr;
        if (runValid_ && c == runFormat_) return;
        flushRun();
        runFormat_ = c;
        runValid_ = true;
    }

    void flushBytes() {
        if (bytes_.isEmpty()) return;
        appendText(decode(bytes_, bytesCp_));
        bytes_.clear();
    }

    void flushRun() {
        flushBytes();
        if (run_.isEmpty()) return;
        startPendingBlock();
        cursor_.insertText(run_, format(runFormat_));
        run_.clear();
    }

    // Documents use few distinct formats; the recent ones are kept made.
    const QTextCharFormat& format(const CharState& c) {
        for (const auto& [state, f] : formats_)
            if (state == c) return f;
        if (formats_.size() >= 64) formats_.erase(formats_.begin());
        formats_.emplace_back(c, makeFormat(c));
        return formats_.back().second;
    }

    QTextCharFormat makeFormat(const CharState& c) const {
        QTextCharFormat f;
        const int number = fontNumber(c);
        const auto it = fonts_.constFind(number);
        if (it != fonts_.constEnd()) {
            // A default font named by a stand-in is a control's font, as this program once
            // stored it: read by the face it stands in for.
            const QString name = number == deff_ ? designedFace(it->name) : it->name;
            if (!name.isEmpty()) f.setFontFamilies(drawnFamilies(name));
            if (it->charset >= 0) f.setProperty(CharsetProperty, it->charset);
            if (it->fixedPitch) f.setFontFixedPitch(true);
        }
        const qreal points = c.halfPoints / 2.0;
        f.setFontPointSize(points);
        if (c.bold) f.setFontWeight(QFont::Bold);
        if (c.italic) f.setFontItalic(true);
        if (c.underline) f.setFontUnderline(true);
        if (c.strike) f.setFontStrikeOut(true);
        if (c.color >= 0 && c.color < colors_.size() && colors_[c.color].isValid())
            f.setForeground(colors_[c.color]);
        if (c.offsetTwips) setOffsetTwips(f, c.offsetTwips, points);
        if (c.vAlign == 1) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        if (c.vAlign == 2) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        return f;
    }

    // A paragraph mark ends the current paragraph with the paragraph format in effect. The
    // next paragraph is made only when something follows, so a document's last \par
    // adds no empty paragraph.
    void paragraph() {
        if (st().dest != Dest::Text) return;
        flushRun();
        startPendingBlock();
        setAlignment(st().align);
        blockPending_ = true;
    }

    void startPendingBlock() {
        if (!blockPending_) return;
        blockPending_ = false;
        cursor_.insertBlock();
    }

    void setAlignment(Qt::Alignment a) {
        QTextBlockFormat bf = cursor_.blockFormat();
        bf.setAlignment(a);
        cursor_.setBlockFormat(bf);
    }

    void finish() {
        flushRun();
        if (!blockPending_) setAlignment(st().align);
    }

    const char* p_;
    const char* end_;
    QTextCursor cursor_;
    std::vector<State> stack_;
    int overflow_ = 0;
    bool done_ = false;
    int skip_ = 0;

    int deff_ = 0;
    int ansiCp_ = kDefaultCodePage;
    QHash<int, Font> fonts_;
    bool fontPending_ = false;
    int fontNumber_ = 0;
    Font font_;
    QByteArray fontName_;
    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    std::vector<std::pair<CharState, QTextCharFormat>> formats_;
    QString run_;
    CharState runFormat_;
    bool runValid_ = false;
    QByteArray bytes_;
    int bytesCp_ = kDefaultCodePage;
    bool blockPending_ = false;
};

qsizetype leadingBlanks(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return i;
}

}  // namespace

bool looksLikeRtf(const QByteArray& bytes) {
    return bytes.mid(leadingBlanks(bytes), 5) == "{\\rtf";
}

void read(const QByteArray& rtf, QTextDocument* doc) {
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    if (looksLikeRtf(rtf)) {
        Reader(rtf, leadingBlanks(rtf), doc).run();
    } else {
        QString text = plat::fromCp1251(rtf);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        // Control characters other than tab and line end show nothing, as in RTF text.
        text.removeIf([](QChar ch) { return ch.unicode() < 0x20 && ch != u'\t' && ch != u'\n'; });
        doc->setPlainText(text);
    }
    doc->setUndoRedoEnabled(undo);
}

}  // namespace plat::rtf
