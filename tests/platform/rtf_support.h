#pragma once
// Shared by the rich-text tests: a readable summary of a character's format, so tables of
// cases can name the format they expect.
#include "platform/rtf/charformat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace rtf_support {

// "<family> <points>[ b][ i][ u][ s][ #rrggbb][ up<twips>|dn<twips>][ super|sub][ fixed]"
inline QString summary(const QTextCharFormat& f) {
    QStringList parts;
    const QStringList fam = f.fontFamilies().toStringList();
    parts << (fam.isEmpty() ? QStringLiteral("-") : fam.first());
    parts << QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold) parts << "b";
    if (f.fontItalic()) parts << "i";
    if (f.fontUnderline()) parts << "u";
    if (f.fontStrikeOut()) parts << "s";
    if (f.hasProperty(QTextFormat::ForegroundBrush)) parts << f.foreground().color().name();
    const int off = plat::rtf::offsetTwips(f);
    if (off > 0) parts << QStringLiteral("up%1").arg(off);
    if (off < 0) parts << QStringLiteral("dn%1").arg(-off);
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) parts << "super";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) parts << "sub";
    if (f.fontFixedPitch()) parts << "fixed";
    return parts.join(' ');
}

// The format of the character at a document position.
inline QTextCharFormat formatAt(const QTextDocument& doc, int pos) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);
    return c.charFormat();
}

// The format of the first character of the first occurrence of text; fails when absent.
inline QString summaryOf(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        ADD_FAILURE() << "not in the document: " << text.toStdString();
        return {};
    }
    return summary(formatAt(doc, found.selectionStart()));
}

// The format summary of every character, one entry per character, paragraph ends as "\n".
inline QStringList summaries(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString s = summary(it.fragment().charFormat());
            for (int i = 0; i < it.fragment().length(); ++i) out << s;
        }
        out << "\n";
    }
    return out;
}

}  // namespace rtf_support
