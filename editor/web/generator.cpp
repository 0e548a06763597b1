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
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

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

// The page after the head CopyTestFile has put in place, gathered whole and then written over
// that head in one step. False when the editor could not leave its edit.
bool writePage(TForm1& form, plat::UiServices& ui, const QString& webTestName,
               const QString& testFileName, const QString& pageName) {
    const QString found = plat::fs::resolve(pageName);
    const QString file = found.isEmpty() ? pageName : found;
    PageWriter page(plat::fs::readBytes(file));
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
    plat::fs::writeBytes(file, page.bytes());
    return true;
}

// CopyTestFile puts the bare head in place of the page before the questions are walked. The
// page as it stood is kept under a second name (a link: it takes no room on a full disk)
// until the new one is whole, and put back over the head in one rename when the run fails,
// so the page's name never stands empty. A folder that takes no links keeps nothing, and a
// failed run there leaves no page.
class OldPage {
public:
    explicit OldPage(const QString& pageName) {
        const QString found = plat::fs::resolve(pageName);
        if (found.isEmpty() || !QFileInfo(found).isFile()) return;
        const QString keep = plat::fs::partialPath(found + QStringLiteral(".old"));
        plat::fs::deleteFile(keep);  // one left by a run that was killed
        if (::link(QFile::encodeName(found).constData(), QFile::encodeName(keep).constData()) ==
            0) {
            page_ = found;
            keep_ = keep;
        }
    }
    OldPage(const OldPage&) = delete;
    OldPage& operator=(const OldPage&) = delete;

    // The new page is in place: the old one goes.
    void drop() {
        if (!keep_.isEmpty()) plat::fs::deleteFile(keep_);
    }
    // The old page back in place of what stands under its name now: the bare head the copy
    // made at made, or nothing when the copy failed (made empty). Without an old page, that
    // head goes. Should the rename fail, the old page stays under its second name.
    void restore(const QString& made) {
        if (keep_.isEmpty()) {
            if (!made.isEmpty()) plat::fs::deleteFile(made);
            return;
        }
        if (plat::fs::sameFile(page_, keep_)) {  // never replaced: the author said No
            drop();
            return;
        }
        // A head made under another spelling of the name would stand beside the old page.
        const QString head = made.isEmpty() ? QString() : plat::fs::resolve(made);
        if (!head.isEmpty() && head != page_) plat::fs::deleteFile(head);
        if (::rename(QFile::encodeName(keep_).constData(), QFile::encodeName(page_).constData()) ==
            0)
            plat::fs::syncFolder(QFileInfo(page_).path());
    }

private:
    QString page_;  // the old page's name as it was found
    QString keep_;  // its second name; empty when nothing is kept
};

}  // namespace

bool GenerateWebTest(TForm1& form, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName) {
    const QString pageName = webTestName + QStringLiteral(".HTML");
    OldPage old(pageName);
    if (!CopyTestFile(ui, QStringLiteral("new.CRO"), pageName)) {
        old.restore(QString());  // declined, or the copy failed
        return false;
    }
    try {
        if (!writePage(form, ui, webTestName, testFileName, pageName)) {
            old.restore(pageName);
            return false;
        }
    } catch (...) {
        old.restore(pageName);
        throw;
    }
    old.drop();
    return true;
}

}  // namespace korvel::web
