#pragma once
// The web page's text encoding and its fixed fragments. Everything the editor writes into a
// page is ASCII: a character beyond ASCII becomes its numeric reference.
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace korvel::web {

// Fragments shared by the frame and the question blocks; each is a whole line or the start
// of one.
inline const QString BlockEnd = QStringLiteral("</TD> </TR> </Table> </div>");
inline const QString ButtonRowStart =
    QStringLiteral("</TD></TR><TR><TD align=center  height=\"40\" >");
inline const QString RowBreak = QStringLiteral("</TD></TR><TR><TD>");
inline const QString NextButtonStart =
    QStringLiteral("<INPUT type=button value=\"Далее\" onclick=");

// One Windows-1251 byte: ASCII as it is (markup passes), any other assigned byte as "&#N;"
// with its character's code point, the unassigned 0x98 as "?".
QString HtmlEncodeChar(unsigned char byte);
// Each character of text the same way; characters beyond Windows-1251 get their own
// reference too. Code points that HTML would read as Windows-1252 (U+0080..U+009F) and
// broken surrogates become "?".
QString HtmlEncodeText(const QString& text);
// The same, appended to out as the ASCII bytes of the page.
void AppendHtmlEncoded(QByteArray& out, QStringView text);

// text as the body of a double-quoted JavaScript string inside a script element: every
// character beyond printable ASCII, and quote, backslash and "<", as an escape, so the
// script holds the exact text.
QString JsStringText(const QString& text);
// text inside a single-quoted JavaScript string that stands in a double-quoted HTML
// attribute: the attribute decodes references first, so "&" and '"' are references and
// apostrophe and backslash JavaScript escapes.
QString JsAttributeText(const QString& text);

}  // namespace korvel::web
