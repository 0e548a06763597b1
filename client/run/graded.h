#pragma once
// The graded run of pandrel without its window: the run state, the choice of the count,
// the draw, the clock, the result report, the key filters and the result file. The
// window's handlers read their widgets, call these and put the answers back on screen.
#include <QChar>
#include <QString>
#include <QTime>
#include <cstdint>
#include <vector>

namespace plat {
class UiServices;
}

namespace pandrel {

// The run state shared by the client's handlers. A fresh one is all zeros and training mode.
struct RunState {
    int TimeSec = 0;
    int TimeMin = 0;
    int TimeHour = 0;
    bool GradedMode = false;
    int GradedCount = 0;  // N
    // 1-based position of the question on screen. Kept as int, not 16 bits: the list is
    // sized to the test, so a run may be longer than 65,535 questions.
    int GradedPos = 0;
    int RightCount = 0;
    // Entry i (1..N) is the record number of the i-th question; entry 0 is unused.
    // Sized to the test (QuestionCount + 1), so any N up to QuestionCount fits.
    std::vector<int> GradedRecNos;
    QString AnswerMarks;  // "+" or "-" per answered question, in order
};

// ---- Texts of the run -------------------------------------------------------

inline const QString kIdentityMissing = QStringLiteral(
    "Прежде, чем начинать тестироваться на оценку,\r\nвведите свою Фамилию Имя (Отчество),\r\n"
    "класс и группу (курс и группу, должность)");
inline const QString kEmptyTest =
    QStringLiteral("В этом тесте нет ни одного вопроса.\rТестирование на оценку невозможно.");
inline const QString kNameUnsafe = QStringLiteral(
    "Фамилия Имя не годится для имени файла результата!\r"
    "Уберите символы \\ / : * ? \" < > |, две точки подряд\r"
    "и непечатаемые символы.");
inline const QString kGroupUnsafe = QStringLiteral(
    "Класс и группа (курс и группа, должность) не годятся\r"
    "для имени папки результатов!\r"
    "Уберите символы \\ / : * ? \" < > |, две точки подряд,\r"
    "непечатаемые символы, точку или пробел в конце.");
inline const QString kStandardTestQuestion = QStringLiteral(
    "СТАНДАРТНЫЙ тест, 20 вопросов, оценка ставится\rв 20 и 5 бальных системах - [YES]\r"
    "НЕСТАНДАРТНЫЙ тест, N вопросов\rN бальная оценка и 5-ти бальный коэффициент - [NO]");
inline const QString kCountCaption = QStringLiteral("число вопросов");
inline const QString kCountPrompt =
    QStringLiteral("введите количество вопросов\rдля тестирования без пробелов");
inline const QString kCountEmpty = QStringLiteral("пустая строка\rПопробуйте еще раз!!!");
inline const QString kCountNotNumber = QStringLiteral("не число\rПопробуйте еще раз!!!");
inline const QString kCountZero =
    QStringLiteral("число вопросов не равно 0\rПопробуйте еще раз!!!");
inline const QString kNameKeyRefused = QStringLiteral("Фамилию Имя можно вводить только буквами !");
inline const QString kGroupKeyRefused = QStringLiteral("Можно вводить только буквы и цифры!");

inline const QString kButton3Next = QStringLiteral("Следующий вопрос");
inline const QString kButton3Last = QStringLiteral("Оценка");

// ---- Small pieces -----------------------------------------------------------------------

// True when every character is one of "0123456789"; true for the empty text.
bool IsDigitsOnly(const QString& text);
// The mark of a standard test of 20 from its right answers R (0..20).
QString MarkOf20(int R);
// R / N * 5 in general format: at most 15 significant digits, no trailing zeros, no
// exponent, the locale's decimal separator.
QString FivePointCoefficient(int R, int N);
// "Верных ответов " + R: Label3 during the run, and with 0 when it ends.
QString RightAnswersCaption(int R);

// ---- Starting a run ---------------------------------------------------------------------

// Why name or group cannot name the result file "C:\test\<group>\<name>.txt" and its
// folder right below "C:\Test"; empty when both are fine.
QString IdentityRefusal(const QString& name, const QString& group);
// The first reason to refuse the start of a run, or empty: a test without questions, an
// empty name or group, then a name or group that cannot name the result file.
QString StartRefusal(int QuestionCount, const QString& name, const QString& group);
// "Вы уверены, что Вы " + name + " " + group + "?"
QString ConfirmIdentityText(const QString& name, const QString& group);

// One typed count: accepted (message empty) with the count, or the message to show before
// the box opens again. Digits beyond 32 bits throw plat::ConvertError.
struct CountCheck {
    int count = 0;
    QString message;
    bool accepted() const { return message.isEmpty(); }
};
CountCheck CheckCount(const QString& text, int QuestionCount);

struct CountChoice {
    int count = 0;
    bool lastAtOnce = false;  // N = 1: Button3 reads kButton3Last from the first question
};
// The whole choice of N: the standard test question at 20 or more, else (or after No or
// a closed box) the count box until a count is accepted. QuestionCount must be at least 1
// (StartRefusal says so first); a conversion failure propagates to the handler's guard.
CountChoice ChooseCount(plat::UiServices& ui, int QuestionCount);

// The seed of a run: the time of day to the millisecond.
std::uint32_t SeedFromTimeOfDay(const QTime& timeOfDay);
// N different record numbers from 1..QuestionCount into GradedRecNos[1..N], uniformly,
// with one generator seeded once by seed.
void DrawQuestions(RunState& st, int N, int QuestionCount, std::uint32_t seed);
// Everything a run sets up once N is settled: the clock at zero, empty marks, graded
// mode, the draw, no right answers yet and the first position.
void BeginRun(RunState& st, int N, int QuestionCount, std::uint32_t seed);

// ---- During the run ---------------------------------------------------------------------

enum class Step {
    Next,  // show record GradedRecNos[GradedPos]
    Last,  // the same, and Button3 reads kButton3Last
    End,   // the run is over: build the report and end it
};
// Grades the answer on screen and moves on.
Step RecordAnswer(RunState& st, bool right);

// One tick of Timer1: advances the counters and gives the text of Label2.
QString ClockTick(RunState& st);
// The clock's time: the locale's long time format within a day, H:mm:ss beyond it.
QString ClockTime(int hours, int minutes, int seconds);

// ---- The end of the run -----------------------------------------------------------------

// The result report, lines joined by CR LF. label2 is the clock's label as last shown.
QString ResultReport(const RunState& st, const QString& name, const QString& group,
                     const QString& tableName, const QString& label2);

// "C:\test\" + group + "\" + name + ".txt" on this system.
QString ResultFilePath(const QString& group, const QString& name);
// Creates "C:\Test" and "C:\Test\" + group (failures passed over) and writes the report's
// Windows-1251 bytes to the result file, replacing it. Throws plat::FileError naming the
// path and the reason; refuses a name or group that would leave that folder.
void WriteResultFile(const QString& group, const QString& name, const QString& report);
// The result file as the learner knows it: "C:\Test\" + group + "\" + name + ".txt".
QString ResultFileShown(const QString& group, const QString& name);
// Writes the result file. When it cannot be written the result is kept and the learner is
// asked, again and again, to try once more, to save it elsewhere (a save dialog), or to
// let it go, which a second box confirms. True when the result is saved somewhere.
bool KeepResult(plat::UiServices& ui, const QString& group, const QString& name,
                const QString& report);
// The last step of every run, whatever the write did: empty marks, graded mode off.
// The window empties Edit2 and Edit4 beside it.
void FinishRun(RunState& st);

// ---- Key filters ------------------------------------------------------------------------

// Edit2: backspace, blank, A-Z, a-z and А-я (Windows-1251 192..255); Ё and ё are not.
bool IsNameKey(QChar c);
// Edit4: as the name, and the digits.
bool IsGroupKey(QChar c);
// ComboBox1, ComboBox2 and the window itself: no typed character goes through.
bool IsComboKey(QChar c);

}  // namespace pandrel
