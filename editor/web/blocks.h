#pragma once
// One question's block of the web page after its opening line: the question part, the
// answer part with its "Далее" button, the common tail, and the question's picture file.
#include "editor/web/page.h"
#include "platform/ui.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvel::web {

struct VariantRow {
    QString text;
    bool right = false;  // a null flag is not right
};

// A question as the editor shows it.
struct QuestionView {
    QString style;           // "1", "2", "3"; empty for any other style
    QString answerKind;      // "2" for a typed answer
    QStringList lines;       // the display lines of the editor's question text box
    QImage picture;          // null when there is none
    QList<VariantRow> rows;  // the shown rows, row 1 first
};

// The page lines of a question text: "@" switches raw mode, in which markup passes; outside
// it "<", ">" and "№" are shown as characters and every display line ends in "<BR>". One
// empty line closes the part.
QStringList TextPartLines(const QStringList& displayLines);

// The picture file of question i, beside the page.
QString PictureFileName(const QString& webTestName, int i);

void WriteRadioVariant(PageWriter& page, const QString& name, int k, const QString& text);
void WriteCheckVariant(PageWriter& page, const QString& name, const QString& text);
// Everything of question i's block after WriteBlockStart, BlockEnd included. A style that
// is none of "1", "2", "3" shows "ошибка" and writes no question part.
void WriteQuestionBlock(PageWriter& page, int i, const QuestionView& q, plat::UiServices& ui,
                        const QString& webTestName);

}  // namespace korvel::web
