#include "editor/web/generator.h"

#include "editor/TForm1.h"
#include "editor/fileops/fileset.h"
#include "editor/web/displaylines.h"
#include "editor/web/jpeg.h"
#include "editor/web/page.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/rtf/plaintext.h"

#include <QFile>

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

bool GenerateWebTest(TForm1& form, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName) {
    const QString pageName = webTestName + QStringLiteral(".HTML");
    if (!CopyTestFile(ui, QStringLiteral("new.CRO"), pageName)) return false;
    const QString found = plat::fs::resolve(pageName);
    QFile file(found.isEmpty() ? pageName : found);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw plat::FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(pageName, file.errorString()));
    PageWriter page(file, pageName);
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
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw plat::FileError(
            QStringLiteral("Write error on file \"%1\". %2").arg(pageName, file.errorString()));
    return true;
}

}  // namespace korvel::web
