#pragma once
// Reads RTF into a QTextDocument: text, fonts, sizes, bold, italic, underline, strike-out,
// colours, baseline offsets, superscript and subscript, paragraphs and their alignment.
// Anything else is passed over without losing the text around it. Malformed input never
// fails: what could be read is kept.
#include <QByteArray>

class QTextDocument;

namespace plat::rtf {

// True when the bytes begin (after blanks) with "{\rtf".
bool looksLikeRtf(const QByteArray& bytes);

// Replaces the document's content. Bytes that are not RTF are taken as Windows-1251 text.
// The document's undo history is cleared.
void read(const QByteArray& rtf, QTextDocument* doc);

}  // namespace plat::rtf
