#include "editor/web/generator.h"

#include "common/display.h"
#include "common/question.h"
#include "editor/fileops/fileset.h"
#include "editor/web/displaylines.h"
#include "editor/web/jpeg.h"
#include "editor/web/page.h"
#include "platform/dbctl/picture.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/rtf/plaintext.h"

namespace korvel::web {

namespace {

// The current record as the page shows it: what shows of it for its form and answer kind,
// its text (a rich text's plain text) in the lines of the editor's question box.
QuestionView readQuestion(plat::db::Table& t, const TextBoxLayout& box) {
    namespace field = common::field;
    const common::QuestionDisplay d = common::questionDisplay(t);
    QuestionView q;
    if (d.area != common::QuestionStyle::Invalid) q.style = QString::number(int(d.area));
    q.answerKind =
        d.answer == common::AnswerKind::Typed ? QStringLiteral("2") : QStringLiteral("1");
    if (d.area == common::QuestionStyle::Text)
        q.lines = DisplayLines(BoxText(t.fieldByName(field::Vopr).asString()), box);
    if (d.area == common::QuestionStyle::Rtf) {
        // Broken into lines as the editor's text box would break it.
        const QString plain = plat::rtf::plainText(t.fieldByName(field::VoprRTF).asBytes());
        q.lines = DisplayLines(BoxText(plain), box);
    }
    if (d.area == common::QuestionStyle::Picture)
        q.picture = plat::imageFromBlob(t.fieldByName(field::VoprBMP).asBytes());
    for (int k = 1; k <= common::kVariants; ++k)
        if (d.rowShown(k))
            q.rows.append(
                {t.fieldByName(field::Otv(k)).asString(), t.fieldByName(field::RO(k)).asBool()});
    return q;
}

// The page: the head and what the questions give, gathered whole and written in one step, so
// the page as it stood stays until the new one is whole. False when the edit was not left.
bool writePage(plat::db::Table& table, plat::UiServices& ui, const QString& webTestName,
               const QString& testFileName, const QString& pageName, const QByteArray& head,
               const Walk& walk) {
    PageWriter page(head);
    const PictureFolder pictures(webTestName);
    page.pictures = &pictures;

    // A question being added counts once it is saved here.
    if (walk.leaveEdit) {
        if (!walk.leaveEdit()) return false;
    } else {
        table.checkBrowseMode();
    }
    const int n = table.recordCount();
    const TextBoxLayout box = QuestionTextBox();

    WriteFrameStart(page, n, webTestName, testFileName);
    for (int i = 1; i <= n; ++i) {
        page.WriteBlockStart(QStringLiteral("v") + QString::number(i), QStringLiteral(" none"));
        table.setRecNo(i);
        if (walk.shown) walk.shown();
        WriteQuestionBlock(page, i, readQuestion(table, box), ui, webTestName);
    }
    WriteFrameEnd(page, n);
    const QString found = plat::fs::resolve(pageName);
    plat::fs::writeBytes(found.isEmpty() ? pageName : found, page.bytes());
    return true;
}

}  // namespace

bool GenerateWebTest(plat::db::Table& table, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName, const Walk& walk) {
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
    return writePage(table, ui, webTestName, testFileName, pageName, head, walk);
}

}  // namespace korvel::web
