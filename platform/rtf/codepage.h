#pragma once
// Code pages of RTF text: the document's \ansicpg and each font's \fcharset or \cpg.
#include <QByteArray>
#include <QChar>
#include <QString>

namespace plat::rtf {

// The Windows code page of a font character set (\fcharsetN); 0 when the set names none
// (DEFAULT_CHARSET and unknown sets), so the document's code page applies.
int codePageOfCharset(int charset);

// True when the code page has a decoder here.
bool knownCodePage(int codePage);

// Decodes bytes of a code page; an unknown page decodes as Windows-1251.
QString decode(const QByteArray& bytes, int codePage);

// The one byte that holds ch in a single-byte code page; -1 when it has none (or the page
// is a multi-byte one).
int encodeByte(QChar ch, int codePage);

}  // namespace plat::rtf
