#pragma once
// The lines of a plain-text box as it shows them: a line ends at every line break and
// wherever the box wraps, with the box's font, text width and wrap rule.
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextOption>

class QPlainTextEdit;

namespace korvel::web {

// How a plain-text box lays its text out.
struct TextBoxLayout {
    QFont font;
    QTextOption option;
    qreal width = 0;  // the text width, the document margins included
    qreal documentMargin = 0;
};

// The question text box of the editor's form (DBMemo1, 993 pixels wide, Liberation Serif
// 12, word wrap, no scroll bars), as the platform's style frames it.
TextBoxLayout QuestionTextBox();
// What a plain-text box shows of text: line breaks (CR LF, CR, LF) as "\n", and the
// characters the box itself changes, a no-break space as a blank.
QString BoxText(const QString& text);

// width is the box's text width, the document margins included. A final empty line after
// a closing line break is not counted; an empty text has no lines.
QStringList DisplayLines(const QString& text, const QFont& font, const QTextOption& option,
                         qreal width, qreal documentMargin);
QStringList DisplayLines(const QString& text, const TextBoxLayout& box);
// The lines of text as box would show it (its current text when text is null).
QStringList DisplayLines(const QPlainTextEdit& box, const QString& text = QString());

}  // namespace korvel::web
