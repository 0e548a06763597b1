#include "editor/TForm3.h"

#include "editor/TForm1.h"
#include "editor/fileops/choice.h"
#include "editor/fileops/fileset.h"
#include "editor/fileops/operations.h"
#include "editor/fileops/test_dialog.h"
#include "platform/files.h"
#include "platform/guard.h"
#include "ui_TForm3.h"

#include <QDir>

namespace korvel {

TForm3::TForm3(plat::Services services, Unit3_korvel& unit3, QWidget* parent)
    : QWidget(parent), services_(services), unit3_(unit3) {
    ui_ = std::make_unique<Ui::TForm3>();
    ui_->setupUi(this);
    Label1 = ui_->Label1;
    Button9 = ui_->Button9;
    btHelp = ui_->btHelp;
    btExit = ui_->btExit;
    Label4 = ui_->Label4;
    Button4 = ui_->Button4;
    Button2 = ui_->Button2;
    GroupBox1 = ui_->GroupBox1;
    Label2 = ui_->Label2;
    CheckBox1 = ui_->CheckBox1;
    CheckBox2 = ui_->CheckBox2;
    Button6 = ui_->Button6;
    Label3 = ui_->Label3;
    btEdit = ui_->btEdit;
    Button5 = ui_->Button5;
    Button7 = ui_->Button7;
    Button1 = ui_->Button1;
    Button3 = ui_->Button3;
    connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(btEdit, &QPushButton::clicked, this, &TForm3::btEditClick);
    connect(btHelp, &QPushButton::clicked, this, &TForm3::btHelpClick);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(btExit, &QPushButton::clicked, this, &TForm3::btExitClick);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
    connect(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
    connect(Button9, &QPushButton::clicked, this, &TForm3::Button9Click);
    connect(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
    // toggled, not clicked: setting a box from code runs its handler when its state changes.
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
    fmCreate();
}

TForm3::~TForm3() = default;

template <class F>
void TForm3::handler(F&& f) {
    plat::guarded(*services_.ui, std::forward<F>(f));
}

QString TForm3::WorkingFolder() const {
    QString dir = workingFolder_.isEmpty() ? plat::fs::programDir() : workingFolder_;
    if (!dir.endsWith(plat::fs::separator())) dir += plat::fs::separator();
    return dir;
}

void TForm3::fmCreate() {
    // The designed size is the outer one; move() places the frame.
    move(plat::placeCentred(services_.system->availableArea(), QSize(484, 368)));
}

void TForm3::ShowTestOperations(bool web) {
    if (web) {
        Label2->setText(QStringLiteral("Операции с файлами:"));
        CheckBox1->setVisible(true);
        CheckBox1->setChecked(true);
        CheckBox2->setVisible(true);
        CheckBox2->setChecked(true);
        Button3->setVisible(true);
    } else {
        Label2->setText(QStringLiteral("Операции с файлами локального теста."));
        CheckBox1->setVisible(false);
        CheckBox1->setChecked(true);
        CheckBox2->setVisible(false);
        CheckBox2->setChecked(false);
        Button3->setVisible(false);
        Button7->setVisible(true);
        Button1->setVisible(true);
    }
}

void TForm3::CheckBox1Click() {
    handler([&] {
        const bool on = CheckBox1->isChecked();
        Button5->setVisible(on);
        btEdit->setVisible(on);
        Button1->setVisible(on);
        Button6->setVisible(on || CheckBox2->isChecked());
    });
}

void TForm3::CheckBox2Click() {
    handler([&] {
        const bool on = CheckBox2->isChecked();
        Button7->setVisible(on);
        Button3->setVisible(on);
        Button1->setVisible(on);
        Button6->setVisible(on || CheckBox1->isChecked());
    });
}

bool TForm3::ShowsLocalOperations() const { return CheckBox1->isHidden() && CheckBox2->isHidden(); }

void TForm3::MakeTestCurrent(const QString& tableFileName) {
    unit3_.TestFileName = tableFileName;
    unit3_.TestName = tableFileName;
    GroupBox1->setTitle(QStringLiteral("Операции с тестом: <") + unit3_.TestName + u'>');
    unit3_.WebTestFileName = NameBeforeDot(unit3_.TestName) + QStringLiteral(".HTML");
}

void TForm3::Button4Click() {
    handler([&] {
        plat::FileDialogSpec spec;
        spec.initialDir = WorkingFolder();
        spec.fileName = QStringLiteral("*.db");
        spec.defaultExt = QStringLiteral("db");
        spec.fileMustExist = true;
        spec.hideReadOnly = true;
        const std::optional<QString> path =
            AskForTestFile(*services_.ui, spec,
                           [this](const QString& p) { return ChoiceRefusal(p, WorkingFolder()); });
        if (!path) return;
        MakeTestCurrent(path->mid(path->lastIndexOf(plat::fs::separator()) + 1));
        ShowTestOperations(plat::fs::fileExists(unit3_.WebTestFileName));
        GroupBox1->setVisible(true);
    });
}

void TForm3::Button2Click() {
    handler([&] {
        const std::optional<QString> n = CreateTestFromTemplate(*services_.ui, WorkingFolder());
        if (!n) return;
        MakeTestCurrent(*n + QStringLiteral(".db"));
        ShowTestOperations(false);
        GroupBox1->setVisible(true);
        services_.ui->information(QStringLiteral("заготовка теста <") + *n +
                                  QStringLiteral(".db> создана!\rзаполнить тест вопросами "
                                                 "можно в режиме редактирования."));
    });
}

void TForm3::Button1Click() {
    handler([&] {
        TakeNewTest(RenameTest(*services_.ui, WorkingFolder(), NameBeforeDot(unit3_.TestName),
                               CheckBox2->isChecked()));
    });
}

void TForm3::Button5Click() {
    handler([&] {
        TakeNewTest(CopyTest(*services_.ui, WorkingFolder(), NameBeforeDot(unit3_.TestName),
                             CheckBox2->isChecked()));
    });
}

void TForm3::TakeNewTest(const std::optional<QString>& m) {
    if (!m) return;
    // Without the web part the page and pictures stayed with the old name.
    if (!CheckBox2->isChecked()) ShowTestOperations(false);
    MakeTestCurrent(*m + QStringLiteral(".db"));
}

void TForm3::Button7Click() {
    handler([&] {
        // With both boxes hidden (local-only mode) the whole test goes; in local+web mode the
        // boxes choose. Other states do not show the button.
        const bool localOnly = CheckBox1->isHidden() && CheckBox2->isHidden();
        const bool table = CheckBox1->isChecked();
        const bool webPart = CheckBox2->isChecked();
        DeleteScope scope;
        if (localOnly || (table && webPart))
            scope = DeleteScope::WholeTest;
        else if (webPart)
            scope = DeleteScope::WebPart;
        else
            return;
        if (!DeleteTest(*services_.ui, WorkingFolder(), NameBeforeDot(unit3_.TestName), scope))
            return;
        ShowTestOperations(false);
        GroupBox1->setVisible(false);
    });
}

void TForm3::Button9Click() {
    handler([&] {
        const std::optional<ImportedTest> t = ImportTest(*services_.ui, WorkingFolder());
        if (!t || !t->copied) return;
        MakeTestCurrent(t->name + QStringLiteral(".db"));
        ShowTestOperations(t->webPage);
        GroupBox1->setVisible(true);
        services_.ui->message(QStringLiteral("копирование файлов теста ") + t->name +
                              QStringLiteral(" в рабочую папку программы завершено! Можно "
                                             "редактировать тест!"));
    });
}

void TForm3::Button6Click() {
    handler([&] {
        ExportTest(*services_.ui, WorkingFolder(), NameBeforeDot(unit3_.TestName),
                   CheckBox1->isChecked(), CheckBox2->isChecked());
    });
}

void TForm3::btEditClick() {
    handler([&] {
        if (!Form1) return;
        Form1->show();
        Form1->setWindowTitle(QStringLiteral("Редактирование теста <") + unit3_.TestName + u'>');
        hide();
    });
}

void TForm3::btHelpClick() {
    handler([&] { services_.shell->open(QStringLiteral("help_korvel.html")); });
}

void TForm3::Button3Click() {
    handler([&] { services_.shell->open(unit3_.WebTestFileName); });
}

void TForm3::btExitClick() {
    handler([&] { close(); });
}

}  // namespace korvel
