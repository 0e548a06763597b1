#pragma once
// The question editor over a test table "Т.DB" of the working folder, with a fresh database
// session per test and scripted boxes.
#include "common/fixed.h"
#include "common/question.h"
#include "editor/frame.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <map>
#include <memory>

namespace editor_test {

using Record = std::map<QString, QString>;  // field name -> text ("" leaves it null)

class EditorTest : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        plat::db::session().reset();
        ui.setTitle(QStringLiteral("Korvel"));
    }
    void TearDown() override {
        frame.reset();
        plat::db::session().reset();
        SuiteTest::TearDown();
    }

    // The test table with these records, then the windows with it as the current test.
    void makeTest(const QList<Record>& records, bool defaults = true) {
        plat::db::createTableFile(inWork(kFile), common::kMasterPassword,
                                  defaults ? common::templateFields() : common::questionFields());
        plat::db::session().addPassword(common::kMasterPassword);
        plat::db::Table t;
        t.setTableName(inWork(kFile));
        t.open();
        for (const Record& r : records) {
            t.insert();
            for (const auto& [name, text] : r) t.fieldByName(name).setAsString(text);
            t.post();
        }
        t.close();
        frame = std::make_unique<korvel::Frame>(services());
        frame->Form3->setWorkingFolder(work());
        frame->Form3->MakeTestCurrent(kFile);
        frame->Form3->ShowTestOperations(false);
        frame->Form3->show();
    }
    korvel::TForm1& editor() { return *frame->Form1; }
    // Edit, and the activation that follows the showing.
    void edit() {
        frame->Form3->btEditClick();
        QCoreApplication::processEvents();
    }
    // A field of record n as stored in the file.
    QString stored(int n, const QString& field) { return read(n, field, &plat::db::Field::asString); }
    QByteArray storedBytes(int n, const QString& field) {
        return read(n, field, &plat::db::Field::asBytes);
    }

    const QString kFile = QStringLiteral("Т.DB");
    std::unique_ptr<korvel::Frame> frame;

private:
    template <class R>
    R read(int n, const QString& field, R (plat::db::Field::*get)() const) {
        plat::db::Table t;
        t.setTableName(inWork(kFile));
        t.open();
        t.setRecNo(n);
        return (t.fieldByName(field).*get)();
    }
};

}  // namespace editor_test
