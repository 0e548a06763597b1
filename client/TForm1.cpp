#include "client/TForm1.h"

#include "client/pictures.h"
#include "common/display.h"
#include "common/fixed.h"
#include "common/messages.h"
#include "common/opening.h"
#include "common/question.h"
#include "common/testpath.h"
#include "platform/db/session.h"
#include "platform/files.h"
#include "platform/guard.h"
#include "ui_TForm1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMouseEvent>

namespace pandrel {

QColor colourOf(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

namespace {

void setRole(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette p = w->palette();
    for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, role, c);
    w->setPalette(p);
}

// The enlarged rich-text and picture question area: the window's width, from the top down to
// the row of buttons. The normal area is DBMemo1's design place, which never changes.
constexpr QRect kEnlargedQuestionArea(8, 8, 993, 620);

// Tab moves the focus and Delete edits: neither types a character, whatever text the
// system gives their events.
bool typesCharacter(const QKeyEvent& k) {
    return !k.text().isEmpty() && k.key() != Qt::Key_Tab && k.key() != Qt::Key_Backtab &&
           k.key() != Qt::Key_Delete;
}

}  // namespace

TForm1::TForm1(plat::Services services, ClientState& state, SingleCopyGuard singleCopy,
               QWidget* parent)
    : QWidget(parent), services_(services), st_(state), singleCopy_(std::move(singleCopy)) {
    ui_ = std::make_unique<Ui::TForm1>();
    ui_->setupUi(this);
    Label18 = ui_->Label18;
    Label2 = ui_->Label2;
    Label1 = ui_->Label1;
    Label12 = ui_->Label12;
    Label17 = ui_->Label17;
    Label3 = ui_->Label3;
    ComboBox2 = ui_->ComboBox2;
    Image2 = ui_->Image2;
    Edit2 = ui_->Edit2;
    ComboBox1 = ui_->ComboBox1;
    Image1 = ui_->Image1;
    Edit4 = ui_->Edit4;
    Label4 = ui_->Label4;
    DBMemo1 = ui_->DBMemo1;
    DBvoprRTF = ui_->DBvoprRTF;
    DBVoprBMP = ui_->DBVoprBMP;
    Label5 = ui_->Label5;
    CheckBox1 = ui_->CheckBox1;
    CheckBox2 = ui_->CheckBox2;
    CheckBox3 = ui_->CheckBox3;
    CheckBox4 = ui_->CheckBox4;
    CheckBox5 = ui_->CheckBox5;
    CheckBox6 = ui_->CheckBox6;
    CheckBox7 = ui_->CheckBox7;
    DBotv1 = ui_->DBotv1;
    DBotv2 = ui_->DBotv2;
    DBotv3 = ui_->DBotv3;
    DBotv4 = ui_->DBotv4;
    DBotv5 = ui_->DBotv5;
    DBotv6 = ui_->DBotv6;
    DBotv7 = ui_->DBotv7;
    DBCheckBox1 = ui_->DBCheckBox1;
    DBCheckBox2 = ui_->DBCheckBox2;
    DBCheckBox3 = ui_->DBCheckBox3;
    DBCheckBox4 = ui_->DBCheckBox4;
    DBCheckBox5 = ui_->DBCheckBox5;
    DBCheckBox6 = ui_->DBCheckBox6;
    DBCheckBox7 = ui_->DBCheckBox7;
    Edit1 = ui_->Edit1;
    DBListBox1 = ui_->DBListBox1;
    DBListBox2 = ui_->DBListBox2;
    DBVoprStyle = ui_->DBVoprStyle;
    Pictogr = ui_->Pictogr;
    DBNavigator1 = ui_->DBNavigator1;
    Button4 = ui_->Button4;
    Button3 = ui_->Button3;
    button5 = ui_->button5;
    btLoadTest = ui_->btLoadTest;
    Button1 = ui_->Button1;
    Button2 = ui_->Button2;
    imOnline = ui_->imOnline;
    imOffline = ui_->imOffline;
    setLook();
    placeQuestionControls(DBMemo1->geometry());
    // Title bar: system menu and minimise; the frame stays resizable.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(pictures::windowIcon());
    Image1->setPixmap(pictures::decoration());
    Image2->setPixmap(pictures::decoration());
    imOnline->setPixmap(pictures::online());
    imOffline->setPixmap(pictures::offline());
    Pictogr->setIcon(pictures::enlarge());

    checks_ = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7};
    answers_ = {DBotv1, DBotv2, DBotv3, DBotv4, DBotv5, DBotv6, DBotv7};
    flags_ = {DBCheckBox1, DBCheckBox2, DBCheckBox3, DBCheckBox4,
              DBCheckBox5, DBCheckBox6, DBCheckBox7};

    Table1 = new plat::db::Table(this);
    Table1->setObjectName(QStringLiteral("Table1"));
    bindControls();

    OpenDialog1.title = QStringLiteral("Выбор нужного теста");
    OpenDialog1.filters = {{QStringLiteral("Тесты"), QStringLiteral("*.DB")}};
    OpenDialog1.defaultExt = QStringLiteral("db");
    OpenDialog1.fileMustExist = false;

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    ClientSocket1 = new plat::net::ClientSocket(*services_.ui, this);
    ClientSocket1->setObjectName(QStringLiteral("ClientSocket1"));
    ClientSocket1->onConnect = [this] { client_connect(); };
    ClientSocket1->onDisconnect = [this] { client_disconnect(); };
    ClientSocket1->onError = [this](plat::net::ErrorEvent ev, int& code) {
        client_error(ev, code);
    };
    imOffline->installEventFilter(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Edit2, Edit4, ComboBox1, ComboBox2})
        w->installEventFilter(this);

    connect(btLoadTest, &QPushButton::clicked, this, &TForm1::btLoadTestClick);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(button5, &QPushButton::clicked, this, &TForm1::button5Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Pictogr, &QToolButton::clicked, this, &TForm1::PictogrClick);
    connect(DBNavigator1, &plat::DBNavigator::clicked, this, &TForm1::DBNavigator1Click);
    connect(DBListBox1, &plat::DBListBox::click, this, &TForm1::DBListBox1Click);
    connect(DBListBox2, &plat::DBListBox::click, this, &TForm1::DBListBox2Click);

    endProcess = [this] {
        close();
        QCoreApplication::exit(0);
    };
    fmCreate();
}

TForm1::~TForm1() {
    // The connection closes with the window, without notification or message.
    ClientSocket1->onConnect = nullptr;
    ClientSocket1->onDisconnect = nullptr;
    ClientSocket1->onError = nullptr;
    delete ClientSocket1;
    // Controls go before the table they show.
    if (Table1->isActive()) Table1->close();
}

void TForm1::setLook() {
    // The form's font element knows only points, and the design's heights are pixels: the
    // form gives a control's face in its font and the height in its fontPixels property.
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant pixels = w->property("fontPixels");
        if (!pixels.isValid()) continue;
        QFont f = w->font();
        f.setPixelSize(pixels.toInt());
        w->setFont(f);
    }
    // Buttons, edits and the combo boxes' lists draw their frames and scroll bars from the
    // Window colour: theirs is the system's, not the window's navy. (The lists exist by now:
    // a combo box builds its list when its font changes.)
    for (QWidget* w : std::initializer_list<QWidget*>{
             Button4, Button3, button5, btLoadTest, Button1, Button2, Edit1, Edit2, Edit4, DBMemo1,
             ComboBox1->view()->window(), ComboBox2->view()->window()})
        setRole(w, QPalette::Window, QApplication::palette(w).color(QPalette::Window));
}

void TForm1::bindControls() {
    DataSource1 = new plat::DataSource(Table1, services_.ui, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    auto bind = [this](auto* w, const QString& f) {
        w->setDataSource(DataSource1);
        w->setDataField(f);
        w->setReadOnly(true);
    };
    bind(DBMemo1, common::field::Vopr);
    bind(DBvoprRTF, common::field::VoprRTF);
    bind(DBVoprBMP, common::field::VoprBMP);
    for (int k = 1; k <= 7; ++k) {
        bind(answers_[k - 1], common::field::Otv(k));
        bind(flags_[k - 1], common::field::RO(k));
    }
    bind(DBListBox1, common::field::TypeVopr);
    bind(DBListBox2, common::field::MaxOtv);
    bind(DBVoprStyle, common::field::VoprStyle);
    DBNavigator1->setDataSource(DataSource1);
    DBNavigator1->setVisibleButtons(
        {plat::NavBtn::nbFirst, plat::NavBtn::nbPrior, plat::NavBtn::nbNext, plat::NavBtn::nbLast});
    DBNavigator1->setHints({QStringLiteral("первый вопрос"), QStringLiteral("предыдущий вопрос"),
                            QStringLiteral("следующий вопрос"),
                            QStringLiteral("последний вопрос")});
}

QString TForm1::field(const QString& name) { return Table1->fieldByName(name).asString(); }

void TForm1::fmCreate() {
    plat::guarded(*services_.ui, [&] {
        move(plat::placeCentred(services_.system->availableArea(), frameGeometry().size()));
        if (!singleCopy_(services_.ui->title())) {
            services_.ui->message(kSecondCopyText);
            refused_ = true;
        }
    });
}

bool TForm1::event(QEvent* e) {
    // The test is chosen when the window first gets the focus; later activations (a box
    // of ours closing) do not ask again. The dialog waits until the window has drawn
    // itself, so the learner sees the window first, whichever of the two comes first.
    const bool first = !(activated_ && drawn_);
    if (e->type() == QEvent::WindowActivate) activated_ = true;
    if (e->type() == QEvent::Paint) drawn_ = true;
    // Posted: a paint event comes before the controls' own, which finish the frame.
    if (first && activated_ && drawn_) QTimer::singleShot(0, this, &TForm1::FormActivate);
    return QWidget::event(e);
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == imOffline && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        imOffline->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
        imOfflineClick();
        return true;
    }
    if (e->type() == QEvent::KeyPress && watched != imOffline) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (typesCharacter(*k)) return keyRefused(watched, k->text());
    }
    return QWidget::eventFilter(watched, e);
}

void TForm1::keyPressEvent(QKeyEvent* e) {
    // Characters typed while no control takes them reach the window and are dropped.
    if (typesCharacter(*e)) {
        keyRefused(this, e->text());
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TForm1::keyRefused(QObject* watched, const QString& typed) {
    for (QChar Key : typed) {
        if (watched == Edit2)
            Edit2_KeyPress(Key);
        else if (watched == Edit4)
            Edit4_KeyPress(Key);
        else if (watched == ComboBox1)
            ComboBox1_KeyPress(Key);
        else
            ComboBox2_KeyPress(Key);
        if (Key.isNull()) return true;
    }
    return false;
}

void TForm1::Edit2_KeyPress(QChar& Key) {
    plat::guarded(*services_.ui, [&] {
        if (IsNameKey(Key)) return;
        Key = QChar();
        services_.ui->message(kNameKeyRefused);
    });
}

void TForm1::Edit4_KeyPress(QChar& Key) {
    plat::guarded(*services_.ui, [&] {
        if (IsGroupKey(Key)) return;
        Key = QChar();
        services_.ui->message(kGroupKeyRefused);
    });
}

void TForm1::ComboBox1_KeyPress(QChar& Key) {
    plat::guarded(*services_.ui, [&] {
        if (!IsComboKey(Key)) Key = QChar();
    });
}

void TForm1::ComboBox2_KeyPress(QChar& Key) {
    plat::guarded(*services_.ui, [&] {
        if (!IsComboKey(Key)) Key = QChar();
    });
}

void TForm1::FormActivate() {
    plat::guarded(*services_.ui, [&] { chooseAndOpen(); });
}

void TForm1::chooseAndOpen() {
    common::TestPath chosen;
    const QString programFolder = plat::fs::programDir() + plat::fs::separator();
    for (;;) {
        OpenDialog1.initialDir = programFolder;
        const std::optional<QString> path = services_.ui->openFile(OpenDialog1);
        if (!path) {
            if (services_.ui->confirm(kChooseTestText) == plat::Answer::Yes) continue;
            ended_ = true;
            endProcess();
            return;
        }
        chosen = common::CheckTestPath(*path, plat::fs::separator());
        if (chosen.accepted()) break;
        services_.ui->message(chosen.message);
    }

    common::openQuestionTable(*Table1, chosen.tableName, {true, chosen.folder});

    ShowCurrentQuestion();
    st_.TimeSec = st_.TimeMin = st_.TimeHour = 0;
    st_.QuestionCount = Table1->recordCount();
    Label17->setText(QStringLiteral("из ") + QString::number(st_.QuestionCount));
    Label18->setText(QStringLiteral("Тест ") + chosen.tableName);
    tableName_ = chosen.tableName;
    st_.CheckLocked = field(common::field::Otv(7)) == u"&1";
    offerCommands(false);
}

void TForm1::btLoadTestClick() {
    plat::guarded(*services_.ui, [&] {
        if (st_.QuestionExpanded) {
            st_.QuestionExpanded = false;
            placeQuestionArea(false);
        }
        Table1->close();
        plat::db::session().close();
        st_.TimeSec = st_.TimeMin = st_.TimeHour = 0;
        st_.GradedMode = false;
        chooseAndOpen();
        if (ended_) return;
        Label12->setText(QStringLiteral("1"));
    });
}

void TForm1::Button2Click() {
    plat::guarded(*services_.ui, [&] {
        services_.system->beep();
        if (services_.ui->confirm(kExitText) == plat::Answer::Yes) close();
    });
}

void TForm1::Button1Click() {
    plat::guarded(*services_.ui, [&] {
        services_.shell->open(
            QDir::current().absoluteFilePath(QStringLiteral("help_pandrel.html")));
    });
}

void TForm1::ShowCurrentQuestion() {
    plat::guarded(*services_.ui, [&] {
        ClearAnswerInputs();
        if (!Table1->isActive()) return;  // after a failed opening there is nothing to show
        const common::QuestionDisplay d = common::questionDisplay(*Table1);
        if (d.area != common::QuestionStyle::Invalid) {
            DBMemo1->setVisible(d.area == common::QuestionStyle::Text);
            DBvoprRTF->setVisible(d.area == common::QuestionStyle::Rtf);
            DBVoprBMP->setVisible(d.area == common::QuestionStyle::Picture);
            Pictogr->setVisible(d.enlarge);
        } else {
            services_.ui->message(QStringLiteral("ошибка"));
        }
        // The learner types the answer in Edit1, over row 1: the stored answer stays hidden.
        const bool typed = d.answer == common::AnswerKind::Typed;
        Label5->setText(typed ? QStringLiteral("Введите с клавиатуры правильный ответ без пробелов")
                              : QStringLiteral("Варианты ответа"));
        if (!typed) Edit1->setVisible(false);
        const auto row = [&](int k) { return !typed && d.rowShown(k); };
        ShowAnswerRows(row(1), row(2), row(3), row(4), row(5), row(6), row(7));
        if (typed) Edit1->setVisible(true);
    });
}

void TForm1::ShowAnswerRows(bool r1, bool r2, bool r3, bool r4, bool r5, bool r6, bool r7) {
    const std::array<bool, 7> rows{r1, r2, r3, r4, r5, r6, r7};
    for (int k = 0; k < 7; ++k) {
        answers_[k]->setVisible(rows[k]);
        checks_[k]->setVisible(rows[k]);
    }
}

void TForm1::ClearAnswerInputs() {
    for (QCheckBox* c : checks_) c->setChecked(false);
    Edit1->clear();
}

void TForm1::SetScreenColor(int colour) {
    const QColor c = colourOf(colour);
    for (const auto& [w, role] : screenColoured()) setRole(w, role, c);
}

std::vector<std::pair<QWidget*, QPalette::ColorRole>> TForm1::screenColoured() {
    // The window's ground, the answer texts' ground and frame, and Label3's own ground; the
    // controls that take the window's colour follow it.
    std::vector<std::pair<QWidget*, QPalette::ColorRole>> painted{{this, QPalette::Window}};
    for (plat::DBEdit* e : answers_) {
        painted.emplace_back(e, QPalette::Base);
        painted.emplace_back(e, QPalette::Window);
    }
    painted.emplace_back(Label3, QPalette::Window);
    return painted;
}

void TForm1::DBNavigator1Click(plat::NavBtn) {
    plat::guarded(*services_.ui, [&] {
        Label12->setText(QString::number(Table1->recNo()));
        ShowCurrentQuestion();
    });
}

void TForm1::DBListBox1Click() { ShowCurrentQuestion(); }
void TForm1::DBListBox2Click() { ShowCurrentQuestion(); }

void TForm1::placeQuestionControls(const QRect& area) {
    DBVoprBMP->setGeometry(area);
    DBvoprRTF->setGeometry(area);
}

void TForm1::placeQuestionArea(bool enlarged) {
    placeQuestionControls(enlarged ? kEnlargedQuestionArea : DBMemo1->geometry());
    if (enlarged) {
        // The enlarged area covers the captions and answers it spans.
        DBVoprBMP->raise();
        DBvoprRTF->raise();
    }
    ComboBox1->setVisible(!enlarged);
    ComboBox2->setVisible(!enlarged);
}

void TForm1::PictogrClick() {
    plat::guarded(*services_.ui, [&] {
        st_.QuestionExpanded = !st_.QuestionExpanded;
        placeQuestionArea(st_.QuestionExpanded);
    });
}

void TForm1::Timer1Timer() {
    plat::guarded(*services_.ui, [&] { Label2->setText(ClockTick(st_)); });
}

// ---- The graded run --------------------------------------------------------------------

void TForm1::button5Click() {
    plat::guarded(*services_.ui, [&] { startRun(); });
}

void TForm1::startRun() {
    // With no table open (a failed opening) there is nothing to draw from.
    const int count = Table1->isActive() ? st_.QuestionCount : 0;
    const QString name = Edit2->text();
    const QString group = Edit4->text();
    if (const QString why = StartRefusal(count, name, group); !why.isEmpty()) {
        services_.ui->message(why);
        return;
    }
    if (services_.ui->confirm(ConfirmIdentityText(name, group)) == plat::Answer::No) return;
    if (!ClientSocket1->active()) ConnectFromLineFile();
    const CountChoice choice = ChooseCount(*services_.ui, count);
    if (choice.lastAtOnce) Button3->setText(kButton3Last);
    SetScreenColor(kGradedColour);
    BeginRun(st_, choice.count, count, runSeed());
    enterRun();
}

void TForm1::enterRun() {
    offerCommands(true);
    showRunQuestion();
    Label17->setText(QStringLiteral("из ") + QString::number(st_.GradedCount));
    Label3->show();
    if (ClientSocket1->active())
        SendToServer(common::TestStartText(Edit2->text(), Edit4->text(), Label18->text()));
}

void TForm1::showRunQuestion() {
    Table1->setRecNo(st_.GradedRecNos.at(st_.GradedPos));
    ShowCurrentQuestion();
    Label12->setText(QString::number(st_.GradedPos));
}

void TForm1::Button3Click() {
    plat::guarded(*services_.ui, [&] {
        if (!st_.GradedMode || !Table1->isActive()) return;
        const bool right = IsAnswerCorrect();
        const Step step = RecordAnswer(st_, right);
        if (right) Label3->setText(RightAnswersCaption(st_.RightCount));
        if (step == Step::End) {
            endRun();
            return;
        }
        showRunQuestion();
        if (step == Step::Last) Button3->setText(kButton3Last);
    });
}

void TForm1::endRun() {
    const QString name = Edit2->text();
    const QString group = Edit4->text();
    const QString report = ResultReport(st_, name, group, tableName_, Label2->text());
    services_.system->beep();
    // A failed send is reported in its own box; the result is still shown and saved.
    plat::guarded(*services_.ui, [&] { SendToServer(report); });
    // Saved before the box: a computer switched off while it is open keeps the result.
    KeepResult(*services_.ui, group, name, report);
    services_.ui->message(report);
    returnToTraining();
    Edit2->clear();
    Edit4->clear();
    FinishRun(st_);
}

void TForm1::returnToTraining() {
    Button3->setText(kButton3Next);
    offerCommands(false);
    Label3->setText(RightAnswersCaption(0));
    Label3->hide();
    st_.RightCount = 0;
    Label17->setText(QStringLiteral("из ") + QString::number(st_.QuestionCount));
    Table1->setRecNo(1);
    ShowCurrentQuestion();
    Label12->setText(QStringLiteral("1"));
    SetScreenColor(kDesignColour);
}

void TForm1::offerCommands(bool graded) {
    const Commands c = CommandsFor(graded, st_.CheckLocked);
    Button4->setVisible(c.check);
    Button3->setVisible(c.next);
    button5->setVisible(c.start);
    btLoadTest->setVisible(c.load);
    DBNavigator1->setVisible(c.browse);
}

bool TForm1::IsAnswerCorrect() {
    AnswerOnScreen a;
    a.TypeVopr = field(common::field::TypeVopr);
    a.MaxOtv = field(common::field::MaxOtv);
    a.Otv1 = field(common::field::Otv(1));
    for (int k = 0; k < 7; ++k) {
        const plat::db::Field& ro = Table1->fieldByName(common::field::RO(k + 1));
        if (!ro.isNull()) a.RO[k] = ro.asBool();
        a.ticked[k] = checks_[k]->isChecked();
    }
    a.typed = Edit1->text();
    return pandrel::IsAnswerCorrect(a);
}

void TForm1::Button4Click() {
    plat::guarded(*services_.ui, [&] {
        if (!Table1->isActive()) return;  // no test open after a failed opening
        if (IsAnswerCorrect()) {
            services_.ui->information(QStringLiteral("Верно"));
            return;
        }
        if (services_.ui->confirm(kWrongAnswerText) != plat::Answer::Yes) return;
        if (common::answerKind(field(common::field::TypeVopr)) == common::AnswerKind::Typed) {
            Edit1->setText(field(common::field::Otv(1)));
        } else {
            for (int k = 0; k < 7; ++k)
                checks_[k]->setChecked(Table1->fieldByName(common::field::RO(k + 1)).asBool());
        }
    });
}

void TForm1::connectFromLineFile(bool automatic) {
    QStringList lines;
    try {
        lines = plat::fs::readLines(QStringLiteral("line.txt"));
    } catch (const plat::FileError&) {
        services_.ui->message(kLineFileUnreadable);
        return;
    }
    while (lines.size() < 3) lines.append(QString());
    if (automatic && lines[0] != u"1") return;
    ClientSocket1->setAddress(lines[1]);
    ClientSocket1->setPort(plat::strToInt(lines[2]));
    ClientSocket1->activate();
    imOffline->hide();
}

void TForm1::ConnectFromLineFile() { connectFromLineFile(true); }

void TForm1::imOfflineClick() {
    plat::guarded(*services_.ui, [&] { connectFromLineFile(false); });
}

void TForm1::client_connect() {
    plat::guarded(*services_.ui, [&] {
        services_.ui->message(kConnectedText);
        // A disconnect under the box has shown the offline sign already: keep it true.
        if (ClientSocket1->active()) imOffline->hide();
    });
}

void TForm1::client_disconnect() {
    plat::guarded(*services_.ui, [&] {
        imOffline->show();
        services_.ui->message(kDisconnectedText);
    });
}

void TForm1::client_error(plat::net::ErrorEvent, int& ErrorCode) {
    plat::guarded(*services_.ui, [&] {
        if (ClientSocket1->active()) ClientSocket1->deactivate();
        imOffline->show();
        services_.ui->message(kLinkErrorText + QString::number(ErrorCode));
    });
    // The code stays set: the socket layer reports the error itself.
}

void TForm1::SendToServer(const QString& text) {
    if (!ClientSocket1->active()) return;
    ClientSocket1->sendText(common::ComposeMessage(ClientSocket1->localAddress(), text));
}

}  // namespace pandrel
