#pragma once
// What every test of the suite stands on: scripted boxes, a recording shell and system,
// a fresh working folder and drive C: per test, and typing Cyrillic into a widget.
#include "platform/clipboard.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/dbctl/controls.h"
#include "platform/screen.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QDir>
#include <QList>
#include <QMimeData>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

class QImage;
class QWidget;

// Readable failures with Qt strings.
void PrintTo(const QString& s, std::ostream* os);

namespace testing_support {

// Answers boxes and dialogs from a script, in order, and records every one shown.
// A box or dialog that the script did not expect fails the test (ADD_FAILURE) with its
// text and is answered Closed; script steps left over fail the test when it is destroyed.
class ScriptedUi : public plat::UiServices {
public:
    ScriptedUi();
    ~ScriptedUi() override;

    // The next box must be of this kind; when text is not empty it must equal the box's
    // text (for Input: the prompt). It is answered with reply.
    ScriptedUi& expect(plat::BoxKind kind, const QString& text = {},
                       plat::Answer answer = plat::Answer::Ok, const QString& input = {});
    // The next dialog must be an open (save) dialog; nullopt cancels it. A chosen path
    // makes its folder the current directory, as the real dialog does.
    ScriptedUi& expectOpen(std::optional<QString> path);
    ScriptedUi& expectSave(std::optional<QString> path);
    ScriptedUi& expectFont(std::optional<plat::FontChoice> font);

    plat::BoxReply show(const plat::Box& box) override;
    std::optional<QString> openFile(const plat::FileDialogSpec& spec) override;
    std::optional<QString> saveFile(const plat::FileDialogSpec& spec) override;
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice& initial) override;

    const QList<plat::Box>& boxes() const { return boxes_; }  // every box shown
    const QList<plat::FileDialogSpec>& dialogs() const { return dialogs_; }
    // The font each font dialog opened with.
    const QList<plat::FontChoice>& fontsOffered() const { return fontsOffered_; }
    bool finished() const { return steps_.empty(); }
    // Called when a box is shown, before it is answered (to act "under" a modal box).
    std::function<void(const plat::Box&)> onShow;
    // Boxes that stand now (shown, not answered yet), and the most that ever stood at once.
    int standing() const { return standing_; }
    int mostStanding() const { return mostStanding_; }
    // The texts a standing standard error box was given after it opened, in order.
    const QStringList& amendments() const { return amendments_; }

protected:
    void amendStandardError(const QString& text) override { amendments_.append(text); }

private:
    struct Step;
    std::optional<QString> answerFileDialog(int type, const char* what,
                                            const plat::FileDialogSpec& spec);
    std::deque<Step> steps_;
    QList<plat::Box> boxes_;
    QList<plat::FileDialogSpec> dialogs_;
    QList<plat::FontChoice> fontsOffered_;
    int standing_ = 0;
    int mostStanding_ = 0;
    QStringList amendments_;
};

class RecordingShell : public plat::Shell {
public:
    void open(const QString& path) override { opened.append(path); }
    QStringList opened;
};

// A clock that stands still, so a test compares whole lines, times included.
class RecordingSystem : public plat::System {
public:
    void beep() override { ++beeps; }
    QRect availableArea() override { return screen; }
    QDateTime now() override { return clock; }
    int beeps = 0;
    QRect screen{0, 0, 1280, 1024};
    QDateTime clock{QDate(2026, 12, 9), QTime(9, 5, 7)};
};

// A clipboard of this process only: a test fills it with the formats another program
// would offer and reads what the window put there.
class MemoryClipboard : public plat::Clipboard {
public:
    const QMimeData* data() override { return &held; }
    void setImage(const QImage& image) override {
        held.clear();
        held.setImageData(image);
        ++writes;
    }
    QMimeData held;
    int writes = 0;
};

// Records every screen copy and see-through switch. A copy is a bitmap of the rectangle's
// size whose pixel (u, v) is screenPixel(r.x() + u, r.y() + v), so a test tells from the
// picture which rectangle was copied.
class RecordingScreen : public plat::Screen {
public:
    QImage CaptureScreenRect(const QRect& r) override;
    // Recorded as a copy of r, and passed on as a copy beneath the control.
    QImage CaptureBeneath(QWidget* control, const QRect& r) override;
    void setSeeThrough(QWidget* control, bool on) override;
    static QRgb screenPixel(int x, int y);

    QList<QRect> captures;
    // While a capture runs: whether the control's window was see-through then.
    QList<bool> seeThroughAtCapture;
    QList<bool> switches;  // every setSeeThrough, on or off, in order
    bool seeThrough = false;
    // When set, the calls go on to this screen, and a copy is its copy.
    plat::Screen* passTo = nullptr;

private:
    void record(const QRect& r);
    static QImage copyOf(const QRect& r);
};

// Prints to a PDF file instead of a printer; noPrinter makes it fail as with no printer.
class PdfPrinter : public plat::Printer {
public:
    explicit PdfPrinter(QString pdfPath) : path(std::move(pdfPath)) {}
    void printLines(const QStringList& lines, const QFont& font) override;
    QString path;
    bool noPrinter = false;
    QList<QStringList> printed;
};

// A fixture: a fresh temporary working folder as the current directory, a fresh drive C:
// (TESTSUITE_DRIVE_C), scripted UI services, and the locale set to ru_RU.
class SuiteTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString work() const { return work_.path(); }      // the working folder
    QString driveC() const { return driveC_.path(); }  // drive C:
    QString inWork(const QString& name) const { return QDir(work()).filePath(name); }
    plat::Services services() { return {&ui, &shell, &printer, &system, &clipboard, &screen}; }

    ScriptedUi ui;
    RecordingShell shell;
    RecordingSystem system;
    RecordingScreen screen;
    PdfPrinter printer{QString()};
    MemoryClipboard clipboard;

private:
    QTemporaryDir work_;
    QTemporaryDir driveC_;
    QString savedCwd_;
};

// SuiteTest with the program-wide database session (aliases, passwords, configuration
// mode) reset before and after each test, as a fresh program start would find it.
class SessionTest : public SuiteTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// SuiteTest with a table file T.DB in the working folder: a session of its own that knows
// its password kTablePassword, two tables over it (t, and other as a second program would
// open it) and a data source on t whose errors show in the scripted boxes.
class TableTest : public SuiteTest {
protected:
    static inline const QString kTablePassword = QStringLiteral("pw");
    // Writes T.DB with these fields; t and other are named but not opened.
    void makeTable(const QList<plat::db::FieldDef>& fields);

    plat::db::Session s;
    plat::db::Table t{s}, other{s};
    plat::DataSource ds;
};

// Writes bytes to a file, failing the test when it cannot be made.
void put(const QString& path, const QByteArray& bytes);
// A file's bytes, or "<missing>" when it cannot be read, so a comparison shows which.
QByteArray get(const QString& path);
// The image as a file of the format would hold it ("BMP", "PNG", ...).
QByteArray encoded(const QImage& image, const char* format);

// Types text into the focused widget w, one key event per character (Cyrillic included).
void typeText(QWidget* w, const QString& text);
// Runs the event loop until pred() holds or ms pass; returns pred().
bool waitFor(const std::function<bool()>& pred, int ms = 3000);

}  // namespace testing_support
