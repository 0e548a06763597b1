#include "editor/frame.h"

#include "common/fixed.h"
#include "platform/db/session.h"
#include "platform/files.h"

namespace korvel {

void Unit3Init(Unit3_korvel& m) {
    m = Unit3_korvel{};
    m.FirstActivation = true;
}

void Unit3Final(Unit3_korvel& m) {
    m.TestName.clear();
    m.TestFileName.clear();
    m.WebTestFileName.clear();
}

void EditorUnitInit(Unit_korvel& m) {
    const QString dir = common::netControlDir();
    plat::fs::createDir(dir);  // it may exist already
    plat::db::session().setNetFileDir(dir);
    m.SavedPictureHeight = 169;
    m.SavedPictureWidth = 993;
    m.QuestionExpanded = false;
}

void EditorUnitFinal(Unit_korvel& m) { m.WebTestName.clear(); }

Frame::Frame(plat::Services services) {
    Unit3Init(unit3);
    EditorUnitInit(unit);
    Form3 = std::make_unique<TForm3>(services, unit3);
    Form1 = std::make_unique<TForm1>(services, unit, unit3);
    Form3->setEditor(Form1.get());
    Form1->setStartWindow(Form3.get());
}

Frame::~Frame() {
    Form1.reset();
    Form3.reset();
    EditorUnitFinal(unit);
    Unit3Final(unit3);
}

}  // namespace korvel
