#include "editor/web/page.h"

#include "editor/web/encoding.h"

namespace korvel::web {

void PageWriter::WritePageLine(const QString& line) {
    AppendHtmlEncoded(page_, line);
    page_ += "\r\n";
}

void PageWriter::WriteBlockStart(const QString& id, const QString& display) {
    WritePageLine(QStringLiteral("<div id=\"block_") + id + QStringLiteral("\" style=\"display: ") +
                  display + QStringLiteral(";\"> <Table> <TR> <TD>"));
}

void WriteFrameStart(PageWriter& page, int n, const QString& webTestName,
                     const QString& testFileName) {
    const QString num = QString::number(n);
    page.WritePageLine(QStringLiteral("var room = new CheckTasks(") + num +
                       QStringLiteral("); Body();"));
    // qq is read by the script as it stands: an escaped string keeps the name exact.
    page.WritePageLine(QStringLiteral("var viborka=[]; var lenvib; lenvib=") + num +
                       QStringLiteral("; mm =\"") + num + QStringLiteral("\"; qq=\"") +
                       JsStringText(webTestName) + QStringLiteral("\";"));
    page.WritePageLine(
        QStringLiteral("if (lenvib>0 && lenvib<20) { viborka=generateArrayRandomNumber(1,") + num +
        QStringLiteral(");  viborka.push(") + QString::number(n + 1) + QStringLiteral(");}"));
    page.WritePageLine(QStringLiteral("else if (lenvib>=20 && lenvib<=1000)"));
    // The head draws again from all the questions when there are more than 20.
    page.WritePageLine(
        QStringLiteral("{ lenvib=20; viborka=createRand(lenvib, 1,20); viborka.push(21);}"));
    page.WritePageLine(QStringLiteral(" else { showmessage(\"тест испорчен!\");}"));
    page.WritePageLine(QStringLiteral("</SCRIPT>"));
    page.WritePageLine(QStringLiteral("<FORM>"));
    page.WriteBlockStart(QStringLiteral("start"), QStringLiteral(" block"));
    page.WritePageLine(testFileName);
    page.WritePageLine(ButtonRowStart);
    page.WritePageLine(
        QStringLiteral("<INPUT type=button value=\"Начать тестирование\" autofocus "
                       "onclick=showHide('block_start2');showHide('block_v'+viborka[0]);showHide('"
                       "block_start'); >"));
    page.WritePageLine(BlockEnd);
    page.WriteBlockStart(QStringLiteral("start2"), QStringLiteral(" none"));
    page.WritePageLine(testFileName);
    page.WritePageLine(
        QStringLiteral("Вопрос <INPUT type=text size=3 readonly name=f  id=\"user2\" value=1>"));
    page.WritePageLine(
        QStringLiteral("Ошибок <INPUT type=text size=3 readonly name=ff  id=\"user2\" value=0>"));
    page.WritePageLine(BlockEnd);
}

void WriteFrameEnd(PageWriter& page, int n) {
    page.WritePageLine(QStringLiteral("<div id=\"block_v") + QString::number(n + 1) +
                       QStringLiteral("\" style=\"display: none;\"><Table><TR><TD>"));
    page.WritePageLine(
        QStringLiteral("Чтобы увидеть результат работы, нажмите кнопку \"Оценка\"."));
    page.WritePageLine(ButtonRowStart);
    page.WritePageLine(
        QStringLiteral("<INPUT TYPE=\"button\" VALUE=\"Начать с начала\" "
                       "onClick='parent.location=\"javascript:location.reload()\"'>"));
    page.WritePageLine(
        QStringLiteral("<INPUT type=\"button\" value=\"Выход\" "
                       "onclick='parent.location=\"javascript:window.close()\"'>"));
    page.WritePageLine(BlockEnd);
    page.WritePageLine(QStringLiteral("</FORM></BODY></HTML>"));
}

}  // namespace korvel::web
