#include "editor/TForm1.h"

#include "common/display.h"
#include "common/opening.h"
#include "common/question.h"
#include "editor/TForm3.h"
#include "editor/fileops/fileset.h"
#include "editor/glyphs.h"
#include "editor/photo/photo.h"
#include "editor/richtext/offsets.h"
#include "editor/richtext/paste.h"
#include "editor/richtext/question_area.h"
#include "editor/web/generator.h"
#include "platform/clipboard.h"
#include "platform/guard.h"
#include "platform/screen.h"
#include "platform/trackbar.h"
#include "ui_TForm1.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QShowEvent>

namespace korvel {

namespace {

// The text of a list box's selected item; empty when none is selected.
QString selectedText(const QListWidget* box) {
    const QListWidgetItem* item = box->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

}  // namespace

TForm1::TForm1(plat::Services services, Unit_korvel& unit, Unit3_korvel& unit3, QWidget* parent)
    : QWidget(parent), services_(services), unit_(unit), unit3_(unit3) {
    ui_ = std::make_unique<Ui::TForm1>();
    ui_->setupUi(this);
    Label1 = ui_->Label1;
    Label12 = ui_->Label12;
    Label13 = ui_->Label13;
    Label4 = ui_->Label4;
    Label5 = ui_->Label5;
    DBCheckBox1 = ui_->DBCheckBox1;
    DBotv1 = ui_->DBotv1;
    DBCheckBox2 = ui_->DBCheckBox2;
    DBotv2 = ui_->DBotv2;
    DBCheckBox3 = ui_->DBCheckBox3;
    DBotv3 = ui_->DBotv3;
    DBCheckBox4 = ui_->DBCheckBox4;
    DBotv4 = ui_->DBotv4;
    DBCheckBox5 = ui_->DBCheckBox5;
    DBotv5 = ui_->DBotv5;
    DBCheckBox6 = ui_->DBCheckBox6;
    DBotv6 = ui_->DBotv6;
    DBCheckBox7 = ui_->DBCheckBox7;
    DBotv7 = ui_->DBotv7;
    Label8 = ui_->Label8;
    DBVoprStyle = ui_->DBVoprStyle;
    Label14 = ui_->Label14;
    Label15 = ui_->Label15;
    DBListBox1 = ui_->DBListBox1;
    Label2 = ui_->Label2;
    Label3 = ui_->Label3;
    DBListBox2 = ui_->DBListBox2;
    DBNavigator1 = ui_->DBNavigator1;
    GroupBox3 = ui_->GroupBox3;
    font_pic = ui_->font_pic;
    GroupBox4 = ui_->GroupBox4;
    UP = ui_->UP;
    down = ui_->down;
    undo = ui_->undo;
    Image_Cut = ui_->Image_Cut;
    Image_Copy = ui_->Image_Copy;
    Image_Paste = ui_->Image_Paste;
    Pictogr = ui_->Pictogr;
    Button1 = ui_->Button1;
    Foto_1 = ui_->Foto_1;
    Foto_2 = ui_->Foto_2;
    Foto_3 = ui_->Foto_3;
    TrackBar1 = ui_->TrackBar1;
    TrackBar2 = ui_->TrackBar2;
    Help = ui_->Help;
    Exit_Edit = ui_->Exit_Edit;
    DBMemo1 = ui_->DBMemo1;
    DBVoprRTF = ui_->DBVoprRTF;
    DBVoprBMP = ui_->DBVoprBMP;
    // A title bar without system menu or buttons: the exit button is the only way back.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    const struct {
        QToolButton* button;
        Glyph glyph;
    } pictures[] = {
        {Help, Glyph::Help},         {Exit_Edit, Glyph::Exit},
        {Image_Cut, Glyph::Cut},     {Image_Copy, Glyph::Copy},
        {Image_Paste, Glyph::Paste}, {Pictogr, Glyph::Enlarge},
        {font_pic, Glyph::Font},     {UP, Glyph::Up},
        {down, Glyph::Down},         {undo, Glyph::Baseline},
        {Foto_1, Glyph::PhotoOn},    {Foto_2, Glyph::PhotoOff},
        {Foto_3, Glyph::PhotoShoot},
    };
    for (const auto& p : pictures) {
        p.button->setIcon(glyphIcon(p.glyph, p.button->iconSize(), devicePixelRatioF()));
        // Pictures to click, not stops of Tab: the window's order is its controls'.
        p.button->setFocusPolicy(Qt::NoFocus);
    }
    connectPhotoMode();

    DataSource1.setTable(&Table1);
    DataSource1.setUi(services_.ui);
    DBMemo1->setDataSource(&DataSource1);
    DBMemo1->setDataField(common::field::Vopr);
    DBVoprRTF->setDataSource(&DataSource1);
    DBVoprRTF->setDataField(common::field::VoprRTF);
    DBVoprBMP->setDataSource(&DataSource1);
    DBVoprBMP->setDataField(common::field::VoprBMP);
    for (int k = 1; k <= common::kVariants; ++k) {
        check(k)->setDataSource(&DataSource1);
        check(k)->setDataField(common::field::RO(k));
        answer(k)->setDataSource(&DataSource1);
        answer(k)->setDataField(common::field::Otv(k));
    }
    DBVoprStyle->setDataSource(&DataSource1);
    DBVoprStyle->setDataField(common::field::VoprStyle);
    DBListBox1->setDataSource(&DataSource1);
    DBListBox1->setDataField(common::field::TypeVopr);
    DBListBox2->setDataSource(&DataSource1);
    DBListBox2->setDataField(common::field::MaxOtv);
    DBNavigator1->setDataSource(&DataSource1);
    DBNavigator1->setHints({
        QStringLiteral("первый вопрос"),
        QStringLiteral("предыдущий вопрос"),
        QStringLiteral("следующий вопрос"),
        QStringLiteral("последний вопрос"),
        QStringLiteral("добавить вопрос"),
        QStringLiteral("удалить вопрос"),
        QStringLiteral("исправить текущий вопрос"),
        QStringLiteral("сохранить исправления в текущем вопросе"),
        QStringLiteral("отменить исправления в текущем вопросе"),
        QStringLiteral("обновить весь набор вопросов"),
    });

    connect(DBNavigator1, &plat::DBNavigator::clicked, this, [this] {
        navigatorRan_ = true;
        DBNavigator1Click();
    });
    connect(DBListBox1, &plat::DBListBox::click, this, &TForm1::DBListBox1Click);
    connect(DBListBox2, &plat::DBListBox::click, this, &TForm1::DBListBox2Click);
    connect(DBVoprStyle, &plat::DBListBox::click, this, &TForm1::DBVoprStyleClick);
    connect(Help, &QToolButton::clicked, this, &TForm1::HelpClick);
    connect(Exit_Edit, &QToolButton::clicked, this, &TForm1::Exit_EditClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connectRichTextTools();
    fmEditCreate();
}

TForm1::~TForm1() = default;

template <class F>
void TForm1::handler(F&& f) {
    plat::guarded(*services_.ui, std::forward<F>(f));
}

void TForm1::fmEditCreate() {
    // The designed size is the outer one; move() places the frame.
    move(plat::placeCentred(services_.system->availableArea(), QSize(1020, 734)));
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Each showing activates the window once; a restore by the window system does not.
    // The sequence runs once the window is on the screen, so that its boxes stand over it.
    if (!e->spontaneous())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible()) FormActivate();
            },
            Qt::QueuedConnection);
}

void TForm1::closeEvent(QCloseEvent* e) {
    // Closed by the window system rather than the exit button: leave as the exit button
    // does, or the program would go on with no window shown.
    if (!leaving_ && !plat::guarded(*services_.ui, [&] { leaveEditor(); })) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TForm1::FormActivate() {
    handler([&] {
        common::openQuestionTable(Table1, unit3_.TestFileName, {unit3_.FirstActivation, QString()},
                                  [&] { unit3_.FirstActivation = false; });
        ShowCurrentQuestion();
        // First, edit and post from code: an empty table gets its one empty record, and
        // the window stands on the first record in browse mode. A press that failed has
        // shown its error box and ends the sequence.
        for (const plat::NavBtn b : {plat::nbFirst, plat::nbEdit, plat::nbPost}) {
            navigatorRan_ = false;
            DBNavigator1->btnClick(b);
            if (!navigatorRan_) return;
        }
    });
}

plat::DBCheckBox* TForm1::check(int k) const {
    plat::DBCheckBox* const boxes[] = {DBCheckBox1, DBCheckBox2, DBCheckBox3, DBCheckBox4,
                                       DBCheckBox5, DBCheckBox6, DBCheckBox7};
    return boxes[k - 1];
}

plat::DBEdit* TForm1::answer(int k) const {
    plat::DBEdit* const edits[] = {DBotv1, DBotv2, DBotv3, DBotv4, DBotv5, DBotv6, DBotv7};
    return edits[k - 1];
}

void TForm1::ShowAnswerRows(const std::array<bool, 7>& shown) {
    for (int k = 1; k <= 7; ++k) {
        check(k)->setVisible(shown[k - 1]);
        answer(k)->setVisible(shown[k - 1]);
    }
}

void TForm1::ShowCurrentQuestion() {
    // A click in the style or answer lists can refresh the view in photo mode; it leaves
    // the mode, or the window would stay see-through with no way out.
    leavePhotoMode();
    unit_.QuestionCount = Table1.isActive() ? Table1.recordCount() : 0;
    Label13->setText(QStringLiteral("из ") + QString::number(unit_.QuestionCount));

    // The list boxes hold the fields' values as their items, so the selection reads as
    // the field does everywhere else, and follows a new selection before it is stored.
    const common::QuestionDisplay d = common::questionDisplay(
        selectedText(DBVoprStyle), selectedText(DBListBox1), selectedText(DBListBox2));
    if (d.area != common::QuestionStyle::Invalid) {
        const bool text = d.area == common::QuestionStyle::Text;
        const bool rtf = d.area == common::QuestionStyle::Rtf;
        const bool picture = d.area == common::QuestionStyle::Picture;
        DBMemo1->setVisible(text);
        DBVoprRTF->setVisible(rtf);
        GroupBox3->setVisible(rtf);
        DBVoprBMP->setVisible(picture);
        Foto_1->setVisible(picture);
        Foto_2->setVisible(false);
        Foto_3->setVisible(false);
        Image_Cut->setVisible(picture);
        Image_Copy->setVisible(picture);
        Image_Paste->setVisible(picture);
        Pictogr->setVisible(d.enlarge);
        DBVoprStyle->setVisible(text ||
                                richtext::questionArea(unit_.QuestionExpanded).styleListShown);
    } else {
        services_.ui->message(QStringLiteral("ошибка"));
    }

    // A typed answer keeps row 1's edit for the right answer.
    const bool typed = d.answer == common::AnswerKind::Typed;
    Label5->setText(typed ? QStringLiteral("Введите с клавиатуры правильный ответ")
                          : QStringLiteral("Варианты ответа"));
    std::array<bool, 7> rows{};
    for (int k = 1; k <= 7; ++k) rows[k - 1] = d.rowShown(k);
    ShowAnswerRows(rows);
    if (!d.checkBoxes()) DBCheckBox1->setVisible(false);
    Label3->setVisible(!typed);
    DBListBox2->setVisible(!typed);
}

void TForm1::DBNavigator1Click() {
    handler([&] {
        Label12->setText(QString::number(Table1.recNo()));
        ShowCurrentQuestion();
    });
}

void TForm1::DBListBox1Click() {
    handler([&] { ShowCurrentQuestion(); });
}
void TForm1::DBListBox2Click() {
    handler([&] { ShowCurrentQuestion(); });
}
void TForm1::DBVoprStyleClick() {
    handler([&] { ShowCurrentQuestion(); });
}

// Photo mode.

void TForm1::connectPhotoMode() {
    connect(Foto_1, &QToolButton::clicked, this, &TForm1::Foto_1Click);
    connect(Foto_2, &QToolButton::clicked, this, &TForm1::Foto_2Click);
    connect(Foto_3, &QToolButton::clicked, this, &TForm1::Foto_3Click);
    // A slider runs its change handler only on a real change, keeps its position in range
    // and moves it down with a lowered maximum, as the track bars do.
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm1::vid);
    connect(TrackBar2, &QSlider::valueChanged, this, &TForm1::vid2);
    plat::drawAsTrackBar(TrackBar1, /*thumbLength=*/30);
    plat::drawAsTrackBar(TrackBar2);
}

void TForm1::setTransparentColor(bool on) {
    if (on == transparentColor_) return;
    transparentColor_ = on;
    services_.screen->setSeeThrough(DBVoprBMP, on);
}

void TForm1::showPhotoControls(bool on) {
    const photo::Controls c = photo::controls(on);
    Foto_2->setVisible(c.foto2And3);
    Foto_3->setVisible(c.foto2And3);
    Foto_1->setVisible(c.foto1);
    TrackBar1->setVisible(c.trackBars);
    TrackBar2->setVisible(c.trackBars);
    Exit_Edit->setVisible(c.exitAndNavigator);
    DBNavigator1->setVisible(c.exitAndNavigator);
}

void TForm1::restorePictureSize() {
    DBVoprBMP->resize(DBVoprBMP->width(), unit_.SavedPictureHeight);
    TrackBar1->setValue(unit_.SavedPictureHeight);
    DBVoprBMP->resize(unit_.SavedPictureWidth, DBVoprBMP->height());
    TrackBar2->setValue(unit_.SavedPictureWidth);
}

void TForm1::leavePhotoMode() {
    if (!TransparentColor()) return;
    setTransparentColor(false);
    showPhotoControls(false);
    unit_.SavedPictureHeight = photo::pictureHeight(unit_.QuestionExpanded);
    restorePictureSize();
}

void TForm1::Foto_1Click() {
    handler([&] {
        if (TransparentColor()) return;
        setTransparentColor(true);
        showPhotoControls(true);
        TrackBar1->setValue(photo::pictureHeight(unit_.QuestionExpanded));
    });
}

void TForm1::Foto_2Click() {
    handler([&] { leavePhotoMode(); });
}

void TForm1::Foto_3Click() {
    handler([&] {
        TrackBar1->hide();
        TrackBar2->hide();
        unit_.SavedPictureHeight = photo::pictureHeight(unit_.QuestionExpanded);
        // Taken from the hole itself, wherever the window system puts the window, and only
        // what lies beneath it: not the controls over an enlarged area.
        const QRect r = photo::captureRect(
            DBVoprBMP->mapToGlobal(DBVoprBMP->contentsRect().topLeft()), DBVoprBMP->size());
        DBVoprBMP->assignPicture(services_.screen->CaptureBeneath(DBVoprBMP, r));
        setTransparentColor(false);
        showPhotoControls(false);
        restorePictureSize();
    });
}

void TForm1::vid() {
    handler([&] {
        if (const auto h = photo::sideFromPosition(TrackBar1->value()))
            DBVoprBMP->resize(DBVoprBMP->width(), *h);
    });
}

void TForm1::vid2() {
    handler([&] {
        if (const auto w = photo::sideFromPosition(TrackBar2->value()))
            DBVoprBMP->resize(*w, DBVoprBMP->height());
    });
}

void TForm1::HelpClick() {
    handler([&] { services_.shell->open(QStringLiteral("help_korvel.html")); });
}

void TForm1::Exit_EditClick() {
    handler([&] {
        leaveEditor();
        leaving_ = true;
        close();
        leaving_ = false;
    });
}

void TForm1::leaveEditor() {
    // The record being edited or inserted is kept as a move to another record keeps it; a
    // failing post ends here, the editor still open on the record.
    if (Table1.isActive()) Table1.checkBrowseMode();
    if (unit_.QuestionExpanded) {
        unit_.QuestionExpanded = false;
        placeQuestionArea(richtext::questionArea(false));
    }
    Table1.close();
    if (Form3) {
        Form3->show();
        if (!unit_.WebTestName.isEmpty() && Form3->ShowsLocalOperations())
            Form3->ShowTestOperations(true);
    }
}

// ---------------------------------------------------------------------------------------
// The web test

void TForm1::Button1Click() {
    handler([&] {
        unit_.WebTestName = NameBeforeDot(unit3_.TestName);
        web::Walk walk;
        // First, as the navigator's button does: a changed record is saved, an unchanged
        // edit dropped; a failure has shown its box.
        walk.leaveEdit = [&] {
            DBNavigator1->btnClick(plat::nbFirst);
            return Table1.state() == plat::db::Table::State::Browse;
        };
        // The view follows the questions as the page takes them.
        walk.shown = [&] { ShowCurrentQuestion(); };
        if (!web::GenerateWebTest(Table1, *services_.ui, unit_.WebTestName, unit3_.TestFileName,
                                  walk))
            return;
        Label12->setText(QString::number(Table1.recNo()));
        services_.shell->open(unit_.WebTestName + QStringLiteral(".HTML"));
    });
}

// Rich text, fonts, the clipboard and the enlarged question area.

void TForm1::connectRichTextTools() {
    // The enlarged editors span the tools beside them: keep those above, or the button that
    // restores the area could no longer be clicked.
    for (QWidget* tool :
         std::initializer_list<QWidget*>{GroupBox3, Image_Cut, Image_Copy, Image_Paste, Pictogr,
                                         TrackBar1, Button1, Help, Exit_Edit})
        tool->raise();
    connect(DBVoprRTF, &plat::RichEdit::mousePressed, this, &TForm1::DBVoprRTF_MouseDown);
    connect(font_pic, &QToolButton::clicked, this, &TForm1::font_picClick);
    connect(UP, &QToolButton::clicked, this, &TForm1::UPClick);
    connect(down, &QToolButton::clicked, this, &TForm1::downClick);
    connect(undo, &QToolButton::clicked, this, &TForm1::undoClick);
    connect(Pictogr, &QToolButton::clicked, this, &TForm1::PictogrClick);
    connect(Image_Cut, &QToolButton::clicked, this, &TForm1::Image_CutClick);
    connect(Image_Copy, &QToolButton::clicked, this, &TForm1::Image_CopyClick);
    connect(Image_Paste, &QToolButton::clicked, this, &TForm1::Image_PasteClick);
    DBVoprBMP->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    // The focused picture takes the desktop's cut, copy and paste keys as its buttons do.
    if (watched == DBVoprBMP &&
        (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(e);
        void (TForm1::*click)() = key->matches(QKeySequence::Cut)     ? &TForm1::Image_CutClick
                                  : key->matches(QKeySequence::Copy)  ? &TForm1::Image_CopyClick
                                  : key->matches(QKeySequence::Paste) ? &TForm1::Image_PasteClick
                                                                      : nullptr;
        if (click) {
            // Claimed before any shortcut of the window; acted on as the key goes down.
            if (e->type() == QEvent::KeyPress) (this->*click)();
            e->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

bool TForm1::recordEditing() const { return DBNavigator1->isButtonEnabled(plat::nbPost); }

bool TForm1::navigatorEdit() {
    navigatorRan_ = false;
    DBNavigator1->btnClick(plat::nbEdit);
    return navigatorRan_;
}

void TForm1::DBVoprRTF_MouseDown() {
    handler([&] {
        if (!recordEditing()) navigatorEdit();
    });
}

void TForm1::font_picClick() {
    handler([&] {
        if (recordEditing()) {
            if (FontDialog1.execute(*services_.ui)) DBVoprRTF->applyFont(FontDialog1.font());
        } else if (navigatorEdit()) {
            services_.ui->message(QStringLiteral(
                "Предварительно необходимо выделить фрагмент текста левой кнопкой мыши"));
        }
    });
}

void TForm1::UPClick() {
    handler([&] { DBVoprRTF->setSelectionOffset(richtext::kSuperscriptTwips); });
}

void TForm1::downClick() {
    handler([&] { DBVoprRTF->setSelectionOffset(richtext::kSubscriptTwips); });
}

void TForm1::undoClick() {
    handler([&] { DBVoprRTF->setSelectionOffset(richtext::kBaselineTwips); });
}

void TForm1::PictogrClick() {
    handler([&] {
        unit_.QuestionExpanded = !unit_.QuestionExpanded;
        placeQuestionArea(richtext::questionArea(unit_.QuestionExpanded));
    });
}

void TForm1::placeQuestionArea(const richtext::QuestionArea& area) {
    DBVoprBMP->setGeometry(area.bounds);
    DBVoprRTF->setGeometry(area.bounds);
    TrackBar1->setMaximum(area.trackBarMaximum);
    DBVoprStyle->setVisible(area.styleListShown);
    // The tools shown with a rich-text question keep their places; where the enlarged
    // editor reaches under them, its text and scroll bars keep clear.
    QList<QRect> covered;
    for (const QWidget* tool :
         std::initializer_list<const QWidget*>{GroupBox3, Pictogr, Button1, Help, Exit_Edit})
        covered << tool->geometry().translated(-area.bounds.topLeft());
    DBVoprRTF->keepClearOf(covered);
}

void TForm1::Image_CutClick() {
    handler([&] {
        const QImage picture = DBVoprBMP->picture();
        if (!picture.isNull() && DBVoprBMP->clear()) services_.clipboard->setImage(picture);
    });
}

void TForm1::Image_CopyClick() {
    handler([&] {
        const QImage picture = DBVoprBMP->picture();
        if (!picture.isNull()) services_.clipboard->setImage(picture);
    });
}

void TForm1::Image_PasteClick() {
    handler([&] {
        const QMimeData* clip = services_.clipboard->data();
        const richtext::PastePlan plan =
            richtext::planPaste(common::questionStyle(selectedText(DBVoprStyle)), clip);
        switch (plan.into) {
            case richtext::PasteInto::Memo: {
                // The memo takes text under Qt's own type; other programs may offer it in
                // another form only.
                QMimeData text;
                text.setText(plat::plainText(clip).value_or(QString()));
                DBMemo1->pasteFrom(&text);
                break;
            }
            case richtext::PasteInto::RichEdit: DBVoprRTF->pasteFrom(clip); break;
            case richtext::PasteInto::Picture: DBVoprBMP->setPicture(plan.picture); break;
            case richtext::PasteInto::Nothing: services_.ui->message(plan.refusal); break;
        }
    });
}

}  // namespace korvel
