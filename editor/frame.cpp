#include "editor/frame.h"

#include "common/fixed.h"
#include "platform/db/session.h"
#include "platform/files.h"

#include <QEvent>
#include <functional>

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

namespace {

// Calls back once, after the watched widget's first paint has reached the screen.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* w, std::function<void()> then) : then_(std::move(then)) {
        w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            o->removeEventFilter(this);
            // Queued: the window's children paint and the picture is flushed first.
            QMetaObject::invokeMethod(this, then_, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

}  // namespace

Frame::Frame(plat::Services services, Editor editor) : services_(services) {
    Unit3Init(unit3);
    EditorUnitInit(unit);
    Form3 = std::make_unique<TForm3>(services, unit3);
    if (editor == Editor::AtOnce) {
        this->editor();
        return;
    }
    firstPaint_ = std::make_unique<FirstPaint>(Form3.get(), [this] { this->editor(); });
    // Edit pressed before that: the editor is there by the click.
    QObject::connect(Form3->btEdit, &QPushButton::pressed, firstPaint_.get(),
                     [this] { this->editor(); });
}

TForm1& Frame::editor() {
    if (!Form1) {
        Form1 = std::make_unique<TForm1>(services_, unit, unit3);
        Form3->setEditor(Form1.get());
        Form1->setStartWindow(Form3.get());
    }
    return *Form1;
}

Frame::~Frame() {
    firstPaint_.reset();
    Form1.reset();
    Form3.reset();
    EditorUnitFinal(unit);
    Unit3Final(unit3);
}

}  // namespace korvel
