#pragma once
// The lines of a plain-text box as it shows them: a line ends at every line break and
// wherever the box wraps, with the box's font, text width and wrap rule.
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextOption>

class QPlainTextEdit;

namespace korvel::web {

// width is the box's text width, the document margins included. A final empty line after
// a closing line break is not counted; an empty text has no lines.
QStringList DisplayLines(const QString& text, const QFont& font, const QTextOption& option,
                         qreal width, qreal documentMargin);
// The lines of text as box would show it (its current text when text is null).
QStringList DisplayLines(const QPlainTextEdit& box, const QString& text = QString());

}  // namespace korvel::web
