#include "editor/web/blocks.h"

#include "common/question.h"
#include "editor/fileops/fileset.h"
#include "editor/web/encoding.h"
#include "editor/web/jpeg.h"

#include <QUrl>

namespace korvel::web {

QStringList TextPartLines(const QStringList& displayLines) {
    QStringList out;
    bool raw = false;
    for (const QString& line : displayLines) {
        QString buf;
        for (qsizetype k = 0; k < line.size(); ++k) {
            const QChar ch = line[k];
            const bool nextAt = k + 1 < line.size() && line[k + 1] == u'@';
            if (raw) {
                if (ch == u'@') {
                    if (nextAt) buf += u'@';
                    raw = false;
                } else {
                    buf += ch;
                }
            } else if (ch == u'<') {
                buf += QStringLiteral(" &lt");
            } else if (ch == u'>') {
                buf += QStringLiteral(" &gt");
            } else if (ch == u'@') {
                buf += u' ';
                if (nextAt) buf += u'@';
                raw = true;
            } else if (ch == u'№') {
                // Closed by ";", so that a digit after it stays a digit.
                buf += QStringLiteral(" &#8470;");
            } else {
                buf += ch;
            }
        }
        if (!raw) buf += QStringLiteral("<BR>");
        out.append(buf);
    }
    out.append(QString());
    return out;
}

QString PictureFileName(const QString& webTestName, int i) {
    return webTestName + kPictureInfix + QString::number(i) + QStringLiteral(".jpg");
}

void WriteRadioVariant(PageWriter& page, const QString& name, int k, const QString& text) {
    // No row is chosen before the learner chooses one.
    page.WritePageLine(QStringLiteral(" <LABEL> <INPUT type=\"radio\" name=\"C") + name +
                       QStringLiteral("\" value=") + QString::number(k) + QStringLiteral("> ") +
                       text + QStringLiteral(" </LABEL> <BR>"));
}

void WriteCheckVariant(PageWriter& page, const QString& name, const QString& text) {
    page.WritePageLine(QStringLiteral(" <LABEL> <INPUT type=checkbox name=C") + name +
                       QStringLiteral("> ") + text + QStringLiteral(" </LABEL> <BR>"));
}

namespace {

void writeQuestionPart(PageWriter& page, int i, const QuestionView& q, plat::UiServices& ui,
                       const QString& webTestName) {
    switch (common::questionStyle(q.style)) {
        case common::QuestionStyle::Text:
        case common::QuestionStyle::Rtf:
            for (const QString& line : TextPartLines(q.lines)) page.WritePageLine(line);
            page.WritePageLine(RowBreak);
            break;
        case common::QuestionStyle::Picture: {
            const QString file = PictureFileName(webTestName, i);
            WriteJpeg(file, q.picture, page.pictures);
            // As a URL, so that "#", "%", blanks and the like name the file itself.
            page.WritePageLine(QStringLiteral("<img src=\"") +
                               QString::fromLatin1(QUrl::toPercentEncoding(file)) +
                               QStringLiteral("\" width=100%>"));
            page.WritePageLine(RowBreak);
            page.WritePageLine(RowBreak);
            break;
        }
        case common::QuestionStyle::Invalid: ui.message(QStringLiteral("ошибка")); break;
    }
}

void writeTypedAnswer(PageWriter& page, int i, const QuestionView& q) {
    const QString n = QString::number(i);
    const QString answer = q.rows.isEmpty() ? QString() : q.rows.first().text;
    page.WritePageLine(QStringLiteral("Введите с клавиатуры правильный ответ без пробелов: <BR>"));
    page.WritePageLine(QStringLiteral("<INPUT type=text size=30 maxlength=") +
                       QString::number(common::kOtvSize) + QStringLiteral(" name=t") + n + u'>');
    page.WritePageLine(NextButtonStart + QStringLiteral("\"if (this.form.t") + n +
                       QStringLiteral(".value.toLowerCase()=="));
    // Both sides lowercased; the answer escaped for the script inside the attribute.
    page.WritePageLine(u'\'' + JsAttributeText(answer) +
                       QStringLiteral("'.toLowerCase()) room.Answer = room.Yes;"));
}

void writeChoice(PageWriter& page, int i, const QuestionView& q) {
    int rightCount = 0, lastRight = 0;
    for (int k = 1; k <= q.rows.size(); ++k)
        if (q.rows[k - 1].right) {
            ++rightCount;
            lastRight = k;
        }
    const bool radio = rightCount == 1;
    page.WritePageLine(QStringLiteral("Варианты ответа: <BR>"));
    for (int k = 1; k <= q.rows.size(); ++k) {
        if (radio)
            WriteRadioVariant(page, QString::number(i * 10 + 1), k, q.rows[k - 1].text);
        else
            WriteCheckVariant(page, QString::number(i * 10 + k), q.rows[k - 1].text);
    }
    page.WritePageLine(ButtonRowStart);
    page.buffer = NextButtonStart + QStringLiteral("\"if (");
    if (radio && q.rows.size() == 1) {
        // A lone radio button is not a group: its value is there whether or not it is
        // ticked, so only its tick counts.
        page.buffer += QStringLiteral("this.form.C") + QString::number(i * 10 + 1) +
                       QStringLiteral(".checked");
    } else if (radio) {
        page.buffer += QStringLiteral("this.form.C") + QString::number(i * 10 + 1) +
                       QStringLiteral(".value==") + QString::number(lastRight);
    } else {
        for (int k = 1; k <= q.rows.size(); ++k) {
            if (k > 1) page.buffer += QStringLiteral(" && ");
            if (!q.rows[k - 1].right) page.buffer += u'!';
            page.buffer += QStringLiteral("this.form.C") + QString::number(i * 10 + k) +
                           QStringLiteral(".checked");
        }
    }
    page.buffer += QStringLiteral(") room.Answer = room.Yes;");
    page.WritePageLine(page.buffer);
}

}  // namespace

void WriteQuestionBlock(PageWriter& page, int i, const QuestionView& q, plat::UiServices& ui,
                        const QString& webTestName) {
    writeQuestionPart(page, i, q, ui, webTestName);
    if (common::answerKind(q.answerKind) == common::AnswerKind::Typed)
        writeTypedAnswer(page, i, q);
    else
        writeChoice(page, i, q);
    const QString n = QString::number(i);
    page.WritePageLine(QStringLiteral(
        "else { room.Answer = room.No;  this.form.ff.value=plus1(this.form.ff.value);};"));
    page.WritePageLine(QStringLiteral("room.Check(this.form,") + n + QStringLiteral(");"));
    page.WritePageLine(QStringLiteral(" next_v(this.form.f.value,") + n + QStringLiteral(");"));
    page.WritePageLine(QStringLiteral("this.form.f.value=plus1(this.form.f.value);\">"));
    page.WritePageLine(BlockEnd);
}

}  // namespace korvel::web
