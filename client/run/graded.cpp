#include "client/run/graded.h"

#include "common/names.h"
#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/guard.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

namespace pandrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Whether text can stand as one component of a path right below its parent, on POSIX
// and on Windows alike: no separators or reserved characters, no "..", nothing the
// code page of the files cannot hold.
bool isSafeComponent(const QString& text) {
    if (text.isEmpty()) return false;
    if (!plat::fitsCp1251(text)) return false;
    if (common::ForbiddenInFileName(text)) return false;
    return !text.contains(QStringLiteral(".."));
}

// Windows drops a folder name's trailing dots and blanks, so "10А." would be "10А" and a
// group of dots or blanks would be "C:\Test" itself.
bool isSafeFolderName(const QString& text) {
    return isSafeComponent(text) && !text.endsWith(u'.') && !text.endsWith(u' ');
}

// A folder of the result file, made when it is missing. One that cannot be made is passed
// over: the write into it fails then and says so. The folder is synced into its parent, or
// a power cut could take it away with a result reported as saved.
void makeResultFolder(const QString& windowsPath) {
    const QString path = plat::fs::mapWindowsPath(windowsPath);
    plat::fs::createDir(path);
    if (!plat::fs::dirExists(path)) return;
    const QString parent = QFileInfo(path).path();
    if (!plat::fs::syncFolder(parent)) {
        const int err = plat::fs::lastError();
        throw plat::FileError(
            QStringLiteral("Write error on folder \"%1\". %2")
                .arg(QDir::toNativeSeparators(parent), QString::fromLocal8Bit(std::strerror(err))),
            err);
    }
}

}  // namespace

// ---- Small pieces -----------------------------------------------------------------------

bool IsDigitsOnly(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString MarkOf20(int R) {
    static const char* const marks[] = {"3-", "3-", "3",  "3", "3+", "4-",
                                        "4",  "4+", "5-", "5", "5+"};
    if (R < 10) return QStringLiteral("2");
    return QString::fromLatin1(marks[std::min(R, 20) - 10]);
}

QString FivePointCoefficient(int R, int N) {
    const double v = static_cast<double>(R) / N * 5;
    if (v == 0 || !std::isfinite(v)) return QStringLiteral("0");
    // Fixed notation with as many decimals as 15 significant digits need, then the
    // trailing zeros dropped: the general format without its exponent.
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    const int decimals = std::max(0, 14 - magnitude);
    QString s = QString::number(v, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    s.replace(u'.', plat::decimalSeparator());
    return s;
}

QString RightAnswersCaption(int R) {
    return QStringLiteral("Верных ответов ") + QString::number(R);
}

// ---- Starting a run ---------------------------------------------------------------------

QString IdentityRefusal(const QString& name, const QString& group) {
    if (!isSafeComponent(name)) return kNameUnsafe;
    if (!isSafeFolderName(group)) return kGroupUnsafe;
    return {};
}

QString StartRefusal(int QuestionCount, const QString& name, const QString& group) {
    if (QuestionCount < 1) return kEmptyTest;
    if (name.isEmpty() || group.isEmpty()) return kIdentityMissing;
    return IdentityRefusal(name, group);
}

QString ConfirmIdentityText(const QString& name, const QString& group) {
    return QStringLiteral("Вы уверены, что Вы ") + name + u' ' + group + u'?';
}

CountCheck CheckCount(const QString& text, int QuestionCount) {
    if (text.isEmpty()) return {0, kCountEmpty};
    if (!IsDigitsOnly(text)) return {0, kCountNotNumber};
    const int n = plat::strToInt(text);  // digits beyond 32 bits throw here
    if (n == 0) return {0, kCountZero};
    if (n > QuestionCount)
        return {0,
                QStringLiteral("слишком много вопросов в выборке,\rвопросов должно не "
                               "больше чем ") +
                    QString::number(QuestionCount) +
                    QStringLiteral(" - \rчисло вопросов в данном тесте \rПопробуйте еще раз!!!")};
    return {n, {}};
}

CountChoice ChooseCount(plat::UiServices& ui, int QuestionCount) {
    // The count box could never accept a count for an empty test and would ask forever.
    if (QuestionCount < 1) throw plat::LayerError(kEmptyTest);
    if (QuestionCount >= 20 && ui.confirm(kStandardTestQuestion) == plat::Answer::Yes)
        return {20, false};
    const QString preset = QString::number(std::min(QuestionCount, 50));
    for (;;) {
        const CountCheck c =
            CheckCount(ui.input(kCountCaption, kCountPrompt, preset), QuestionCount);
        if (c.accepted()) return {c.count, c.count == 1};
        ui.message(c.message);
    }
}

std::uint32_t SeedFromTimeOfDay(const QTime& timeOfDay) {
    return static_cast<std::uint32_t>(timeOfDay.msecsSinceStartOfDay());
}

void DrawQuestions(RunState& st, int N, int QuestionCount, std::uint32_t seed) {
    if (N < 1 || N > QuestionCount)
        throw std::invalid_argument("DrawQuestions: N outside 1..QuestionCount");
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> pick(1, QuestionCount);
    // A drawn number already taken is drawn again; the flags replace the scan of the
    // earlier positions, which would make a long run quadratic.
    std::vector<bool> taken(static_cast<size_t>(QuestionCount) + 1, false);
    st.GradedRecNos.assign(static_cast<size_t>(QuestionCount) + 1, 0);
    for (int i = 1; i <= N; ++i) {
        int r;
        do r = pick(gen);
        while (taken[r]);
        taken[r] = true;
        st.GradedRecNos[i] = r;
    }
}

void BeginRun(RunState& st, int N, int QuestionCount, std::uint32_t seed) {
    st.TimeSec = st.TimeMin = st.TimeHour = 0;
    st.AnswerMarks.clear();
    st.GradedMode = true;
    st.GradedCount = N;
    DrawQuestions(st, N, QuestionCount, seed);
    st.RightCount = 0;
    st.GradedPos = 1;
}

// ---- During the run ---------------------------------------------------------------------

Step RecordAnswer(RunState& st, bool right) {
    if (right) ++st.RightCount;
    st.AnswerMarks += right ? u'+' : u'-';
    ++st.GradedPos;
    if (st.GradedPos > st.GradedCount) return Step::End;
    return st.GradedPos == st.GradedCount ? Step::Last : Step::Next;
}

QString ClockTime(int hours, int minutes, int seconds) {
    if (hours <= 23) return plat::longTime(QTime(hours, minutes, seconds));
    // Past a day the counters are no time of day; the clock goes on all the same.
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString ClockTick(RunState& st) {
    if (++st.TimeSec == 60) {
        st.TimeSec = 0;
        if (++st.TimeMin == 60) {
            st.TimeMin = 0;
            ++st.TimeHour;
        }
    }
    return (st.GradedMode ? QStringLiteral("Время тестирования ")
                          : QStringLiteral("Время тренировки ")) +
           ClockTime(st.TimeHour, st.TimeMin, st.TimeSec);
}

// ---- The end of the run -----------------------------------------------------------------

QString ResultReport(const RunState& st, const QString& name, const QString& group,
                     const QString& tableName, const QString& label2) {
    const int R = st.RightCount;
    const int N = st.GradedCount;
    QString r;
    r += name + u' ' + group + kCrLf;
    r += QStringLiteral("Отвечал на вопросы теста ") + tableName + kCrLf;
    r += QStringLiteral("Верных ответов: %1 из %2").arg(R).arg(N) + kCrLf;
    r += label2 + kCrLf;
    r += (N == 20 ? QStringLiteral("Оценка: ") + MarkOf20(R)
                  : QStringLiteral("Пятибальный коэффициент: ") + FivePointCoefficient(R, N)) +
         kCrLf;
    r += QStringLiteral("Номера заданных вопросов:") + kCrLf;
    for (int i = 1; i <= N; ++i) {
        r += QString::number(i) + u'[' + QString::number(st.GradedRecNos.at(i)) +
             st.AnswerMarks.at(i - 1) + QStringLiteral("] ");
        if (i % 10 == 0) r += kCrLf;
    }
    return r;
}

QString ResultFilePath(const QString& group, const QString& name) {
    return plat::fs::mapWindowsPath(QStringLiteral("C:\\test\\") + group + u'\\' + name +
                                    QStringLiteral(".txt"));
}

void WriteResultFile(const QString& group, const QString& name, const QString& report) {
    // The inputs stay editable during the run, so a pasted name is checked again here.
    if (const QString why = IdentityRefusal(name, group); !why.isEmpty())
        throw plat::FileError(why);
    makeResultFolder(QStringLiteral("C:\\Test"));
    makeResultFolder(QStringLiteral("C:\\Test\\") + group);
    plat::fs::writeBytes(ResultFilePath(group, name), plat::toCp1251(report));
}

QString ResultFileShown(const QString& group, const QString& name) {
    return QStringLiteral("C:\\Test\\") + group + u'\\' + name + QStringLiteral(".txt");
}

namespace {
// The learner's answers to the box of a result that could not be written.
constexpr plat::Answer kRetry = plat::Answer::Yes;
constexpr plat::Answer kElsewhere = plat::Answer::No;

// Writes the report where the learner chooses; nullopt when the dialog is cancelled. The
// current directory stays the test's folder, where "line.txt" is read.
std::optional<bool> SaveElsewhere(plat::UiServices& ui, const QString& name,
                                  const QString& report) {
    plat::FileDialogSpec spec;
    spec.title = QStringLiteral("Сохранение результата теста");
    spec.fileName = name + QStringLiteral(".txt");
    spec.defaultExt = QStringLiteral("txt");
    const QString here = QDir::currentPath();
    const std::optional<QString> path = ui.saveFile(spec);
    QDir::setCurrent(here);
    if (!path) return std::nullopt;
    const QString shown = QDir::toNativeSeparators(*path);
    try {
        plat::fs::writeBytes(*path, plat::toCp1251(report));
    } catch (const plat::FileError&) {
        ui.message(QStringLiteral("Не удалось записать результат в файл ") + shown +
                   QStringLiteral(".\rВыберите другое место."));
        return false;
    }
    ui.message(QStringLiteral("Результат теста сохранён в файл ") + shown);
    return true;
}
}  // namespace

bool KeepResult(plat::UiServices& ui, const QString& group, const QString& name,
                const QString& report) {
    for (;;) {
        try {
            WriteResultFile(group, name, report);
            return true;
        } catch (const plat::FileError&) {
        }
        for (;;) {
            const plat::Answer a = ui.confirm(
                QStringLiteral("Не удалось записать результат теста в файл ") +
                    ResultFileShown(group, name) +
                    QStringLiteral(
                        ".\rВозможно, папка недоступна для записи или диск заполнен.\r\r"
                        "Yes - попробовать ещё раз\rNo - сохранить результат в другом месте\r"
                        "Cancel - не сохранять результат"),
                {plat::Button::Yes, plat::Button::No, plat::Button::Cancel});
            if (a == kRetry) break;
            if (a == kElsewhere) {
                if (SaveElsewhere(ui, name, report).value_or(false)) return true;
                continue;
            }
            if (ui.confirm(QStringLiteral("Результат теста не будет сохранён и пропадёт.\r"
                                          "Вы уверены, что не хотите его сохранить?")) ==
                plat::Answer::Yes)
                return false;
        }
    }
}

void FinishRun(RunState& st) {
    st.AnswerMarks.clear();
    st.GradedMode = false;
}

// ---- Key filters ------------------------------------------------------------------------

bool IsNameKey(QChar c) {
    const char16_t u = c.unicode();
    return u == 8 || u == u' ' || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
           (u >= u'А' && u <= u'я');  // Windows-1251 192..255
}

bool IsGroupKey(QChar c) { return IsNameKey(c) || (c >= u'0' && c <= u'9'); }

bool IsComboKey(QChar) { return false; }

}  // namespace pandrel
