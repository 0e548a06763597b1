#pragma once
// The start window: the current test, the operations panel and its two modes.
#include "editor/modules.h"
#include "platform/system.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace korvel {

class TForm1;

namespace Ui {
class TForm3;
}

class TForm3 : public QWidget {
    Q_OBJECT
public:
    // The controls of the form (TForm3.ui).
    QLabel* Label1;
    QPushButton* Button9;
    QPushButton* btHelp;
    QPushButton* btExit;
    QLabel* Label4;
    QPushButton* Button4;
    QPushButton* Button2;
    QGroupBox* GroupBox1;
    QLabel* Label2;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QPushButton* Button6;
    QLabel* Label3;
    QPushButton* btEdit;
    QPushButton* Button5;
    QPushButton* Button7;
    QPushButton* Button1;
    QPushButton* Button3;

    TForm3(plat::Services services, Unit3_korvel& unit3, QWidget* parent = nullptr);
    ~TForm3() override;

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
    void Button1Click();  // Rename
    void Button5Click();  // Copy
    void Button7Click();  // Delete
    void Button9Click();  // Import
    void Button6Click();  // Export

    void ShowTestOperations(bool web);
    // Whether the panel shows the operations of a test without a web page (the mode
    // boxes hidden), as ShowTestOperations(false) leaves it.
    bool ShowsLocalOperations() const;

    // Makes the named table file the current test (names and panel caption together).
    void MakeTestCurrent(const QString& tableFileName);

    // The folder of the program, with its trailing separator (tests set their own).
    QString WorkingFolder() const;
    void setWorkingFolder(const QString& dir) { workingFolder_ = dir; }

private:
    std::unique_ptr<Ui::TForm3> ui_;
    template <class F>
    void handler(F&& f);
    // After Rename or Copy: the test M, when it now stands, becomes current.
    void TakeNewTest(const std::optional<QString>& m);

    plat::Services services_;
    Unit3_korvel& unit3_;
    TForm1* Form1 = nullptr;
    QString workingFolder_;
};

}  // namespace korvel
