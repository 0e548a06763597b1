#pragma once
// A test table in the working folder, open in the question editor, with the page head
// beside it: what the web generator runs on.
#include "common/fixed.h"
#include "common/question.h"
#include "editor/frame.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/picture.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/web/web_page_support.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QVariant>
#include <map>

namespace web_test {

// Field name -> value: a QString for text and flags ("1", "0"), a QByteArray for a blob.
using Record = std::map<QString, QVariant>;

inline Record choice(const QString& text, const QStringList& rows, const QList<int>& right) {
    Record r{{"VoprStyle", "1"},
             {"TypeVopr", "1"},
             {"Vopr", text},
             {"MaxOtv", QString::number(rows.size())}};
    for (int k = 1; k <= rows.size(); ++k) {
        r[common::field::Otv(k)] = rows[k - 1];
        r[common::field::RO(k)] = right.contains(k) ? "1" : "0";
    }
    return r;
}

// A picture question with choice rows.
inline Record pictureChoice(const QImage& picture, const QStringList& rows,
                            const QList<int>& right) {
    Record r = choice(QString(), rows, right);
    r["VoprStyle"] = "3";
    if (!picture.isNull()) r["VoprBMP"] = plat::bmpBytes(picture);
    return r;
}

inline Record typed(const QString& text, const QString& answer) {
    return {{"VoprStyle", "1"}, {"TypeVopr", "2"}, {"Vopr", text}, {"Otv1", answer}};
}

// The test table at path (the template's fields) with these records.
inline void writeTest(const QString& path, const QList<Record>& records) {
    editor_tests::writeQuestionTable(path, records, true,
                                     [](plat::db::Field& f, const QVariant& value) {
                                         if (value.typeId() == QMetaType::QByteArray)
                                             f.setAsBytes(value.toByteArray());
                                         else if (f.name().startsWith("RO"))
                                             f.setAsBool(value.toString() == "1");
                                         else
                                             f.setAsString(value.toString());
                                     });
}

class WebEditorTest : public testing_support::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ui.setTitle(QStringLiteral("korvel"));
        QFile::copy(QCoreApplication::applicationDirPath() + "/../korvel/new.CRO",
                    inWork("new.CRO"));
    }
    void TearDown() override {
        frame.reset();
        SessionTest::TearDown();
    }

    // The table name + ".DB" with these records, open in the editor on its first record; in
    // folder (with the page head) when given, else in the working folder.
    void openTest(const QString& name, const QList<Record>& records, QString folder = {}) {
        if (folder.isEmpty())
            folder = work();
        else {
            QFile::copy(inWork("new.CRO"), QDir(folder).filePath("new.CRO"));
            QDir::setCurrent(folder);  // the editor works in its folder
        }
        file = name + ".DB";
        writeTest(QDir(folder).filePath(file), records);
        frame = std::make_unique<korvel::Frame>(services());
        frame->Form3->setWorkingFolder(folder);
        frame->Form3->MakeTestCurrent(file);
        frame->Form3->show();
        frame->Form3->btEditClick();
        QCoreApplication::processEvents();
    }
    korvel::TForm1& editor() { return *frame->Form1; }
    QByteArray head() const { return testing_support::get(inWork("new.CRO")); }

    QString file;
    std::unique_ptr<korvel::Frame> frame;
};

}  // namespace web_test
