#pragma once
// The question editor over a test table of given records, with the start window that
// shows it: what the editor's tests stand on.
#include "common/fixed.h"
#include "common/question.h"
#include "editor/frame.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <map>
#include <memory>

namespace editor_tests {

using namespace testing_support;
using plat::BoxKind;

// Field name -> text ("" leaves it null); a blob field takes the text's Latin-1 bytes.
using Record = std::map<QString, QString>;

// Writes the test table at path, with the template's fields (defaults) or the bare question
// fields, one record per element of records; set writes one value into its field.
template <class Rec, class Set>
void writeQuestionTable(const QString& path, const QList<Rec>& records, bool defaults, Set set) {
    plat::db::createTableFile(path, common::kMasterPassword,
                              defaults ? common::templateFields() : common::questionFields());
    plat::db::session().addPassword(common::kMasterPassword);
    plat::db::Table t;
    t.setTableName(path);
    t.open();
    for (const Rec& r : records) {
        t.insert();
        for (const auto& [name, value] : r) set(t.fieldByName(name), value);
        t.post();
    }
    t.close();
}

class QuestionEditor : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ui.setTitle(QStringLiteral("Korvel"));
    }
    void TearDown() override {
        frame.reset();
        SessionTest::TearDown();
    }

    // The test table "Т.DB" in the working folder with these records, then the windows
    // with it as the current test.
    void makeTest(const QList<Record>& records, bool defaults = true) {
        writeQuestionTable(inWork(kFile), records, defaults,
                           [](plat::db::Field& f, const QString& text) {
                               if (f.type() == plat::db::FieldType::Blob)
                                   f.setAsBytes(text.toLatin1());
                               else
                                   f.setAsString(text);
                           });
        frame = std::make_unique<korvel::Frame>(editorServices());
        frame->Form3->setWorkingFolder(work());
        frame->Form3->MakeTestCurrent(kFile);
        frame->Form3->ShowTestOperations(false);
        frame->Form3->show();
    }
    // What the windows are given; the scripted and recording ones unless a test says else.
    virtual plat::Services editorServices() { return services(); }
    korvel::TForm1& editor() { return *frame->Form1; }
    // Edit, and the activation that follows the showing.
    void edit() {
        frame->Form3->btEditClick();
        QCoreApplication::processEvents();
    }
    // A field of record n as stored in the file.
    template <class F>
    auto readStored(int n, F&& read) {
        plat::db::Table t;
        t.setTableName(inWork(kFile));
        t.open();
        t.setRecNo(n);
        return read(t);
    }
    QString stored(int n, const QString& field) {
        return readStored(n, [&](plat::db::Table& t) { return t.fieldByName(field).asString(); });
    }
    QByteArray storedBytes(int n, const QString& field) {
        return readStored(n, [&](plat::db::Table& t) { return t.fieldByName(field).asBytes(); });
    }
    int errorBoxes() const {
        int n = 0;
        for (const plat::Box& b : ui.boxes()) n += b.kind == BoxKind::Plain && b.text == "ошибка";
        return n;
    }

    const QString kFile = QStringLiteral("Т.DB");
    std::unique_ptr<korvel::Frame> frame;
};

}  // namespace editor_tests
