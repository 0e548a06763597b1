#pragma once
// What the paste button does with the clipboard, by the question's style: which editor
// takes it, or the message that says why nothing can be pasted.
#include "common/question.h"

#include <QImage>
#include <QString>

class QMimeData;

namespace korvel::richtext {

enum class PasteInto { Nothing, Memo, RichEdit, Picture };

struct PastePlan {
    PasteInto into = PasteInto::Nothing;
    QString refusal;  // the message when into is Nothing
    QImage picture;   // for Picture: what goes into the field
};

// clip may be null (an empty clipboard).
PastePlan planPaste(common::QuestionStyle style, const QMimeData* clip);

// The clipboard's picture in any image format Qt reads, on white where it is transparent
// (the stored bitmap has no alpha); a null image when there is none.
QImage clipboardPicture(const QMimeData* clip);

}  // namespace korvel::richtext
