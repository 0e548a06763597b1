#pragma once
// The start window: the current test, the operations panel and its two modes.
#include "editor/modules.h"
#include "platform/system.h"
#include "ui_TForm3.h"

#include <QWidget>
#include <optional>

namespace korvel {

class TForm1;

class TForm3 : public QWidget, public Ui::TForm3 {
    Q_OBJECT
public:
    TForm3(plat::Services services, Unit3_korvel& unit3, QWidget* parent = nullptr);

    // The question editor that Edit shows; set by the program frame.
    void setEditor(TForm1* form1) { Form1 = form1; }

    void fmCreate();
    void Button4Click();  // Choose
    void Button2Click();  // Create
    void btEditClick();   // Edit
    void btHelpClick();
    void Button3Click();  // Run web test
    void btExitClick();
    void CheckBox1Click();
    void CheckBox2Click();
    // Later operations: in place, nothing yet.
    void Button1Click() {}  // Rename
    void Button5Click() {}  // Copy
    void Button7Click() {}  // Delete
    void Button9Click() {}  // Import
    void Button6Click() {}  // Export

    void ShowTestOperations(bool web);

    // Makes the named table file the current test (names and panel caption together).
    void MakeTestCurrent(const QString& tableFileName);

    // The folder of the program, with its trailing separator (tests set their own).
    QString WorkingFolder() const;
    void setWorkingFolder(const QString& dir) { workingFolder_ = dir; }

private:
    template <class F>
    void handler(F&& f);

    plat::Services services_;
    Unit3_korvel& unit3_;
    TForm1* Form1 = nullptr;
    QString workingFolder_;
};

}  // namespace korvel
