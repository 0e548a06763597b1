#include "charformat.h"

#include "faces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace plat::rtf {

namespace {

// Runs fn on the format of every stretch of the selection that has one format; without a
// selection, on the cursor's typing format.
template <class Fn>
void editSelection(QTextCursor& cursor, Fn&& fn) {
    if (!cursor.hasSelection()) {
        QTextCharFormat f = cursor.charFormat();
        fn(f);
        cursor.setCharFormat(f);
        return;
    }
    QTextDocument* doc = cursor.document();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    struct Stretch {
        int from, to;
        QTextCharFormat format;
    };
    // Gathered first: changing formats while walking the fragments would split them under us.
    std::vector<Stretch> stretches;
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            const int from = std::max(fr.position(), start);
            const int to = std::min(fr.position() + fr.length(), end);
            if (from >= to) continue;
            QTextCharFormat f = fr.charFormat();
            fn(f);
            stretches.push_back({from, to, f});
        }
    }
    cursor.beginEditBlock();
    for (const Stretch& s : stretches) {
        QTextCursor c(doc);
        c.setPosition(s.from);
        c.setPosition(s.to, QTextCursor::KeepAnchor);
        c.setCharFormat(s.format);
    }
    cursor.endEditBlock();
}

}  // namespace

qreal effectivePointSize(const QTextCharFormat& f, const QTextDocument* doc) {
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        return f.fontPointSize();
    if (doc && doc->defaultFont().pointSizeF() > 0) return doc->defaultFont().pointSizeF();
    return 12;
}

int offsetTwips(const QTextCharFormat& f) { return f.intProperty(OffsetTwipsProperty); }

void setOffsetTwips(QTextCharFormat& f, int twips, qreal pointSize) {
    if (twips == 0) {
        f.clearProperty(OffsetTwipsProperty);
        f.clearProperty(QTextFormat::TextBaselineOffset);
        return;
    }
    f.setProperty(OffsetTwipsProperty, twips);
    // twips / 20 are points; the shift is given in percent of the font.
    f.setBaselineOffset(twips / 20.0 / (pointSize > 0 ? pointSize : 12) * 100.0);
}

void setSelectionOffset(QTextCursor& cursor, int twips) {
    const QTextDocument* doc = cursor.document();
    editSelection(
        cursor, [&](QTextCharFormat& f) { setOffsetTwips(f, twips, effectivePointSize(f, doc)); });
}

void applyFont(QTextCursor& cursor, const FontChoice& font) {
    editSelection(cursor, [&](QTextCharFormat& f) {
        f.setForeground(font.color);
        if (!font.family.isEmpty()) f.setFontFamilies(drawnFamilies(font.family));
        f.setProperty(CharsetProperty, font.charset);
        f.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(font.italic);
        f.setFontUnderline(font.underline);
        f.setFontStrikeOut(font.strikeOut);
        if (font.pointSize > 0) {
            f.setFontPointSize(font.pointSize);
            if (const int t = offsetTwips(f)) setOffsetTwips(f, t, font.pointSize);
        }
        if (font.pitch == 1)
            f.setFontFixedPitch(true);
        else
            f.clearProperty(QTextFormat::FontFixedPitch);
    });
}

FontChoice fontOf(const QTextCharFormat& f, const QTextDocument* doc) {
    FontChoice c;
    const QStringList families = f.fontFamilies().toStringList();
    c.family =
        !families.isEmpty() ? families.first() : (doc ? doc->defaultFont().family() : QString());
    c.pointSize = qRound(effectivePointSize(f, doc));
    c.bold = f.fontWeight() >= QFont::DemiBold;
    c.italic = f.fontItalic();
    c.underline = f.fontUnderline();
    c.strikeOut = f.fontStrikeOut();
    c.color =
        f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(Qt::black);
    if (f.hasProperty(CharsetProperty)) c.charset = f.intProperty(CharsetProperty);
    c.pitch = f.fontFixedPitch() ? 1 : 0;
    return c;
}

}  // namespace plat::rtf
