#include "editor/web/generator.h"

#include "editor/TForm1.h"
#include "editor/fileops/fileset.h"
#include "editor/web/displaylines.h"
#include "editor/web/jpeg.h"
#include "editor/web/page.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/rtf/plaintext.h"

namespace korvel::web {

namespace {

QString chosen(const QListWidget* box) {
    const QListWidgetItem* item = box->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

}  // namespace

QuestionView ReadQuestion(TForm1& form) {
    QuestionView q;
    q.style = chosen(form.DBVoprStyle);
    q.answerKind = chosen(form.DBListBox1);
    if (q.style == u"2") {
        // Browse mode: this changes only what the hidden box shows, not the record.
        form.DBMemo1->setPlainText(plat::rtf::plainText(form.DBVoprRTF->document()));
    }
    q.lines = DisplayLines(*form.DBMemo1);
    q.picture = form.DBVoprBMP->picture();
    for (int k = 1; k <= 7; ++k)
        if (!form.answer(k)->isHidden())
            q.rows.append({form.answer(k)->text(), form.check(k)->checkState() == Qt::Checked});
    return q;
}

namespace {

// The page: the head and what the questions give, gathered whole and written in one step, so
// the page as it stood stays until the new one is whole. False when the editor could not
// leave its edit.
bool writePage(TForm1& form, plat::UiServices& ui, const QString& webTestName,
               const QString& testFileName, const QString& pageName, const QByteArray& head) {
    PageWriter page(head);
    const PictureFolder pictures(webTestName);
    page.pictures = &pictures;

    // First, as the navigator's button does: a changed record is saved, an unchanged edit
    // dropped. A question being added counts once it is saved here.
    form.DBNavigator1->btnClick(plat::nbFirst);
    if (form.Table1.state() != plat::db::Table::State::Browse) return false;
    const int n = form.Table1.recordCount();

    WriteFrameStart(page, n, webTestName, testFileName);
    for (int i = 1; i <= n; ++i) {
        page.WriteBlockStart(QStringLiteral("v") + QString::number(i), QStringLiteral(" none"));
        form.Table1.setRecNo(i);
        form.ShowCurrentQuestion();
        WriteQuestionBlock(page, i, ReadQuestion(form), ui, webTestName);
    }
    WriteFrameEnd(page, n);
    const QString found = plat::fs::resolve(pageName);
    plat::fs::writeBytes(found.isEmpty() ? pageName : found, page.bytes());
    return true;
}

}  // namespace

bool GenerateWebTest(TForm1& form, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName) {
    const QString pageName = webTestName + QStringLiteral(".HTML");
    const QString headName = QStringLiteral("new.CRO");
    // The page begins as a copy of the head, with the copy's question and messages; the copy
    // itself is the first part of the one write below.
    if (AskToCopy(ui, headName, pageName) == CopyAnswer::Refused) return false;
    QByteArray head;
    try {
        head = plat::fs::readBytes(headName);
    } catch (const plat::FileError&) {
        CopyNotMade(ui, headName, pageName);
        return false;
    }
    return writePage(form, ui, webTestName, testFileName, pageName, head);
}

}  // namespace korvel::web
