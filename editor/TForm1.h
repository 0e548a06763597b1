#pragma once
// The question editor: one record of the current test at a time, every field bound to a
// control, a navigator bar, and a view that shows what the record's form and answer kind
// call for.
#include "editor/modules.h"
#include "editor/richtext/font_dialog.h"
#include "platform/db/table.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/dbrichedit.h"
#include "platform/dbctl/navigator.h"
#include "platform/system.h"
#include "ui_TForm1.h"

#include <QWidget>
#include <array>

namespace korvel {

class TForm3;

class TForm1 : public QWidget, public Ui::TForm1 {
    Q_OBJECT
public:
    TForm1(plat::Services services, Unit_korvel& unit, Unit3_korvel& unit3,
           QWidget* parent = nullptr);

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
    void closeEvent(QCloseEvent* e) override;

private:
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
