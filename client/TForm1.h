#pragma once
// The client's single window: test choice and opening, question display, training mode.
#include "client/checks.h"
#include "client/state.h"
#include "platform/db/table.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/dbrichedit.h"
#include "platform/dbctl/navigator.h"
#include "platform/net/client_socket.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pandrel {

// Colour integers: blue * 65536 + green * 256 + red.
inline constexpr int kDesignColour = 5255168;  // 0, 48, 80
inline constexpr int kGradedColour = 14199;    // 119, 55, 0
QColor colourOf(int bgr);

inline const QString kSecondCopyText = QStringLiteral(
    "Запуск копии программы Pandrel удобен\rдля жуликов, подсматривающих правильные ответы\r"
    "в обучающем режиме! Программа будет закрыта !!!");
inline const QString kChooseTestText = QStringLiteral(
    "Для продолжения работы с программой\rнеобходимо выбрать тест - кнопка [Yes]\r"
    "для выхода из программы - кнопка [No]");
inline const QString kExitText = QStringLiteral("Вы уверены, что хотите выйти?");
inline const QString kLineFileUnreadable = QStringLiteral("Ошибка при чтении файла line.txt");
inline const QString kConnectedText = QStringLiteral("Вы присоединились к протокольному серверу!");
inline const QString kDisconnectedText =
    QStringLiteral("Произошло отключение от протокольного сервера!");
// The "c" after "соединения" is the Latin letter.
inline const QString kLinkErrorText = QStringLiteral("Ошибка соединения c протокольным сервером №");
inline const QString kWrongAnswerText = QStringLiteral(
    "Д О П У Щ Е Н Ы   О Ш И Б К И !!!\rПоказать  правильный  ответ - [YES]\r"
    "Оставить ответ без изменений - [NO]\r");

namespace Ui {
class TForm1;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The controls of the form (TForm1.ui).
    QLabel* Label18;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* Label12;
    QLabel* Label17;
    QLabel* Label3;
    QComboBox* ComboBox2;
    QLabel* Image2;
    QLineEdit* Edit2;
    QComboBox* ComboBox1;
    QLabel* Image1;
    QLineEdit* Edit4;
    QLabel* Label4;
    plat::DBMemo* DBMemo1;
    plat::DBRichEdit* DBvoprRTF;
    plat::DBImage* DBVoprBMP;
    QLabel* Label5;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox6;
    QCheckBox* CheckBox7;
    plat::DBEdit* DBotv1;
    plat::DBEdit* DBotv2;
    plat::DBEdit* DBotv3;
    plat::DBEdit* DBotv4;
    plat::DBEdit* DBotv5;
    plat::DBEdit* DBotv6;
    plat::DBEdit* DBotv7;
    plat::DBCheckBox* DBCheckBox1;
    plat::DBCheckBox* DBCheckBox2;
    plat::DBCheckBox* DBCheckBox3;
    plat::DBCheckBox* DBCheckBox4;
    plat::DBCheckBox* DBCheckBox5;
    plat::DBCheckBox* DBCheckBox6;
    plat::DBCheckBox* DBCheckBox7;
    QLineEdit* Edit1;
    plat::DBListBox* DBListBox1;
    plat::DBListBox* DBListBox2;
    plat::DBListBox* DBVoprStyle;
    QToolButton* Pictogr;
    plat::DBNavigator* DBNavigator1;
    QPushButton* Button4;
    QPushButton* Button3;
    QPushButton* button5;
    QPushButton* btLoadTest;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* imOnline;
    QLabel* imOffline;

    // True when this is the only running copy of the application title.
    using SingleCopyGuard = std::function<bool(const QString& appTitle)>;

    TForm1(plat::Services services, ClientState& state,
           SingleCopyGuard singleCopy = plat::acquireSingleCopy, QWidget* parent = nullptr);
    ~TForm1() override;

    // fmCreate found another running copy: the window must not be shown.
    bool refused() const { return refused_; }
    // Ends the program at once with exit code 0 (the test choice declined). Tests replace it.
    std::function<void()> endProcess;
    bool ended() const { return ended_; }

    plat::db::Table* Table1 = nullptr;
    plat::DataSource* DataSource1 = nullptr;
    QTimer* Timer1 = nullptr;
    plat::FileDialogSpec OpenDialog1;
    plat::net::ClientSocket* ClientSocket1 = nullptr;

    void fmCreate();
    void FormActivate();
    void btLoadTestClick();
    void Button2Click();
    void Button1Click();

    void ShowCurrentQuestion();
    void ShowAnswerRows(bool r1, bool r2, bool r3, bool r4, bool r5, bool r6, bool r7);
    void ClearAnswerInputs();
    void SetScreenColor(int colour);
    void DBNavigator1Click(plat::NavBtn button);
    void DBListBox1Click();
    void DBListBox2Click();
    void PictogrClick();

    bool IsAnswerCorrect();
    void Button4Click();

    void Timer1Timer();

    // The graded run.
    void button5Click();
    void Button3Click();
    // Key filters: a refused character is set to null and dropped.
    void Edit2_KeyPress(QChar& Key);
    void Edit4_KeyPress(QChar& Key);
    void ComboBox1_KeyPress(QChar& Key);
    void ComboBox2_KeyPress(QChar& Key);
    // Seeds the draw of each run; tests set a fixed one.
    std::function<std::uint32_t()> runSeed = [this] {
        return SeedFromTimeOfDay(services_.system->now().time());
    };

    // The link to the results server.
    void ConnectFromLineFile();
    void imOfflineClick();
    void client_connect();
    void client_disconnect();
    void client_error(plat::net::ErrorEvent event, int& ErrorCode);
    // Sends marker + own address + " " + text while connected; nothing otherwise.
    void SendToServer(const QString& text);

    QCheckBox* checkBox(int k) const { return checks_[k - 1]; }
    plat::DBEdit* answerEdit(int k) const { return answers_[k - 1]; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::unique_ptr<Ui::TForm1> ui_;
    void chooseAndOpen();  // FormActivate without its guard
    void placeQuestionArea(bool enlarged);
    void placeQuestionControls(const QRect& area);  // DBVoprBMP, then DBvoprRTF
    // What SetScreenColor paints, in order.
    std::vector<std::pair<QWidget*, QPalette::ColorRole>> screenColoured();
    void setLook();
    // Shows the commands of training or of a graded run (CommandsFor).
    void offerCommands(bool graded);
    void bindControls();
    // "line.txt": address and port set, the attempt started. With automatic, only when its
    // first line is exactly "1".
    void connectFromLineFile(bool automatic);
    QString field(const QString& name);
    // The run's steps of button5Click and Button3Click.
    void startRun();
    void enterRun();
    void showRunQuestion();
    void endRun();
    void returnToTraining();
    // True when the key filter of watched refuses a character of typed.
    bool keyRefused(QObject* watched, const QString& typed);

    plat::Services services_;
    ClientState& st_;
    SingleCopyGuard singleCopy_;
    bool refused_ = false;
    bool ended_ = false;
    bool activated_ = false;
    bool drawn_ = false;  // the window has painted itself once
    QString tableName_;   // the open test's table file name, for the result report
    std::array<QCheckBox*, 7> checks_{};
    std::array<plat::DBEdit*, 7> answers_{};
    std::array<plat::DBCheckBox*, 7> flags_{};
};

}  // namespace pandrel
