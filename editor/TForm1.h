#pragma once
// The question editor: one record of the current test at a time, every field bound to a
// control, a navigator bar, and a view that shows what the record's form and answer kind
// call for.
#include "editor/modules.h"
#include "editor/richtext/font_dialog.h"
#include "editor/richtext/question_area.h"
#include "platform/db/table.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/dbrichedit.h"
#include "platform/dbctl/navigator.h"
#include "platform/system.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <memory>

namespace korvel {

class TForm3;

namespace Ui {
class TForm1;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The controls of the form (TForm1.ui).
    QLabel* Label1;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label4;
    QLabel* Label5;
    plat::DBCheckBox* DBCheckBox1;
    plat::DBEdit* DBotv1;
    plat::DBCheckBox* DBCheckBox2;
    plat::DBEdit* DBotv2;
    plat::DBCheckBox* DBCheckBox3;
    plat::DBEdit* DBotv3;
    plat::DBCheckBox* DBCheckBox4;
    plat::DBEdit* DBotv4;
    plat::DBCheckBox* DBCheckBox5;
    plat::DBEdit* DBotv5;
    plat::DBCheckBox* DBCheckBox6;
    plat::DBEdit* DBotv6;
    plat::DBCheckBox* DBCheckBox7;
    plat::DBEdit* DBotv7;
    QLabel* Label8;
    plat::DBListBox* DBVoprStyle;
    QLabel* Label14;
    QLabel* Label15;
    plat::DBListBox* DBListBox1;
    QLabel* Label2;
    QLabel* Label3;
    plat::DBListBox* DBListBox2;
    plat::DBNavigator* DBNavigator1;
    QGroupBox* GroupBox3;
    QToolButton* font_pic;
    QGroupBox* GroupBox4;
    QToolButton* UP;
    QToolButton* down;
    QToolButton* undo;
    QToolButton* Image_Cut;
    QToolButton* Image_Copy;
    QToolButton* Image_Paste;
    QToolButton* Pictogr;
    QPushButton* Button1;
    QToolButton* Foto_1;
    QToolButton* Foto_2;
    QToolButton* Foto_3;
    QSlider* TrackBar1;
    QSlider* TrackBar2;
    QToolButton* Help;
    QToolButton* Exit_Edit;
    plat::DBMemo* DBMemo1;
    plat::DBRichEdit* DBVoprRTF;
    plat::DBImage* DBVoprBMP;

    TForm1(plat::Services services, Unit_korvel& unit, Unit3_korvel& unit3,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The start window that the exit shows again; set by the program frame.
    void setStartWindow(TForm3* form3) { Form3 = form3; }

    void fmEditCreate();
    void FormActivate();
    void ShowCurrentQuestion();
    void ShowAnswerRows(const std::array<bool, 7>& shown);

    // Photo mode: the question picture taken from the screen.
    void Foto_1Click();
    void Foto_2Click();
    void Foto_3Click();
    void vid();
    void vid2();
    // The see-through switch of the picture area's cream; photo mode is on exactly while
    // it is on.
    bool TransparentColor() const { return transparentColor_; }
    void setTransparentColor(bool on);
    void DBNavigator1Click();
    void DBListBox1Click();
    void DBListBox2Click();
    void DBVoprStyleClick();
    void HelpClick();
    void Exit_EditClick();
    // "Создание Web теста": the page of the test and its pictures, opened in the browser.
    void Button1Click();

    // Rich text, fonts, the clipboard and the enlarged question area.
    void DBVoprRTF_MouseDown();
    void font_picClick();
    void UPClick();
    void downClick();
    void undoClick();
    void PictogrClick();
    void Image_CutClick();
    void Image_CopyClick();
    void Image_PasteClick();

    // Answer row k (1..7): its right-answer box and its edit.
    plat::DBCheckBox* check(int k) const;
    plat::DBEdit* answer(int k) const;

    plat::db::Table Table1;
    plat::DataSource DataSource1;
    richtext::FontDialog FontDialog1;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    std::unique_ptr<Ui::TForm1> ui_;
    void connectPhotoMode();
    void leavePhotoMode();
    void showPhotoControls(bool on);
    void restorePictureSize();

    template <class F>
    void handler(F&& f);
    // Steps of leaving before the window closes: the record in hand posted, normal question
    // area, table closed, start window shown (in local+web mode once a web test has been
    // generated).
    void leaveEditor();
    void connectRichTextTools();
    // Both question editors at the area's bounds, with what goes with the area's size.
    void placeQuestionArea(const richtext::QuestionArea& area);
    // The record is being edited exactly while the navigator's post button is enabled.
    bool recordEditing() const;
    // The navigator's Edit action, as its button does it; false when it failed.
    bool navigatorEdit();

    plat::Services services_;
    Unit_korvel& unit_;
    Unit3_korvel& unit3_;
    TForm3* Form3 = nullptr;
    bool navigatorRan_ = false;  // the navigator's click handler ran for the last press
    bool leaving_ = false;       // Exit_EditClick is closing the window
    bool transparentColor_ = false;
};

}  // namespace korvel
