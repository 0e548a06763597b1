#include "harness.h"

#include "platform/db/create.h"
#include "platform/errors.h"
#include "platform/qt/print.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPrinter>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testing_support {

namespace {

const char* kindName(plat::BoxKind k) {
    switch (k) {
        case plat::BoxKind::Plain: return "Plain";
        case plat::BoxKind::Error: return "Error";
        case plat::BoxKind::Information: return "Information";
        case plat::BoxKind::Confirmation: return "Confirmation";
        case plat::BoxKind::StandardError: return "StandardError";
        case plat::BoxKind::Input: return "Input";
    }
    return "?";
}

std::string utf8(const QString& s) { return s.toStdString(); }

// The real dialogs make the chosen file's folder the current directory.
void enterFolderOf(const QString& path) { QDir::setCurrent(QFileInfo(path).absolutePath()); }

}  // namespace

struct ScriptedUi::Step {
    enum Type { Box, Open, Save, Font } type = Box;
    plat::BoxKind kind = plat::BoxKind::Plain;
    QString text;
    plat::BoxReply reply;
    std::optional<QString> path;
    std::optional<plat::FontChoice> font;

    std::string describe() const {
        switch (type) {
            case Box: return std::string(kindName(kind)) + " box \"" + utf8(text) + "\"";
            case Open: return "open dialog";
            case Save: return "save dialog";
            case Font: return "font dialog";
        }
        return {};
    }
};

ScriptedUi::ScriptedUi() = default;

ScriptedUi::~ScriptedUi() {
    for (const Step& s : steps_) ADD_FAILURE() << "scripted step never came: " << s.describe();
}

ScriptedUi& ScriptedUi::expect(plat::BoxKind kind, const QString& text, plat::Answer answer,
                               const QString& input) {
    Step s;
    s.type = Step::Box;
    s.kind = kind;
    s.text = text;
    s.reply = {answer, input};
    steps_.push_back(std::move(s));
    return *this;
}

ScriptedUi& ScriptedUi::expectOpen(std::optional<QString> path) {
    Step s;
    s.type = Step::Open;
    s.path = std::move(path);
    steps_.push_back(std::move(s));
    return *this;
}

ScriptedUi& ScriptedUi::expectSave(std::optional<QString> path) {
    Step s;
    s.type = Step::Save;
    s.path = std::move(path);
    steps_.push_back(std::move(s));
    return *this;
}

ScriptedUi& ScriptedUi::expectFont(std::optional<plat::FontChoice> font) {
    Step s;
    s.type = Step::Font;
    s.font = std::move(font);
    steps_.push_back(std::move(s));
    return *this;
}

plat::BoxReply ScriptedUi::show(const plat::Box& box) {
    boxes_.append(box);
    mostStanding_ = std::max(mostStanding_, ++standing_);
    struct Answered {
        int& standing;
        ~Answered() { --standing; }
    } answered{standing_};
    if (onShow) onShow(box);
    const bool matches = !steps_.empty() && steps_.front().type == Step::Box &&
                         steps_.front().kind == box.kind &&
                         (steps_.front().text.isEmpty() || steps_.front().text == box.text);
    if (!matches) {
        ADD_FAILURE() << "unexpected " << kindName(box.kind) << " box \"" << utf8(box.text)
                      << "\" (caption \"" << utf8(box.caption) << "\"); the script expected "
                      << (steps_.empty() ? std::string("nothing") : steps_.front().describe());
        return {plat::Answer::Closed, {}};
    }
    const plat::BoxReply r = steps_.front().reply;
    steps_.pop_front();
    return r;
}

std::optional<QString> ScriptedUi::answerFileDialog(int type, const char* what,
                                                    const plat::FileDialogSpec& spec) {
    dialogs_.append(spec);
    if (steps_.empty() || steps_.front().type != type) {
        ADD_FAILURE() << "unexpected " << what << " dialog \"" << utf8(spec.title)
                      << "\"; the script expected "
                      << (steps_.empty() ? std::string("nothing") : steps_.front().describe());
        return std::nullopt;
    }
    const std::optional<QString> p = steps_.front().path;
    steps_.pop_front();
    if (p) enterFolderOf(*p);
    return p;
}

std::optional<QString> ScriptedUi::openFile(const plat::FileDialogSpec& spec) {
    return answerFileDialog(Step::Open, "open", spec);
}

std::optional<QString> ScriptedUi::saveFile(const plat::FileDialogSpec& spec) {
    return answerFileDialog(Step::Save, "save", spec);
}

std::optional<plat::FontChoice> ScriptedUi::chooseFont(const plat::FontChoice& initial) {
    fontsOffered_.append(initial);
    if (steps_.empty() || steps_.front().type != Step::Font) {
        ADD_FAILURE() << "unexpected font dialog; the script expected "
                      << (steps_.empty() ? std::string("nothing") : steps_.front().describe());
        return std::nullopt;
    }
    const std::optional<plat::FontChoice> f = steps_.front().font;
    steps_.pop_front();
    return f;
}

QImage RecordingScreen::CaptureScreenRect(const QRect& r) {
    record(r);
    return passTo ? passTo->CaptureScreenRect(r) : copyOf(r);
}

QImage RecordingScreen::CaptureBeneath(QWidget* control, const QRect& r) {
    record(r);
    return passTo ? passTo->CaptureBeneath(control, r) : copyOf(r);
}

void RecordingScreen::record(const QRect& r) {
    captures.append(r);
    seeThroughAtCapture.append(seeThrough);
}

QImage RecordingScreen::copyOf(const QRect& r) {
    if (r.isEmpty()) return {};
    QImage out(r.size(), QImage::Format_RGB32);
    for (int v = 0; v < r.height(); ++v)
        for (int u = 0; u < r.width(); ++u) out.setPixel(u, v, screenPixel(r.x() + u, r.y() + v));
    return out;
}

void RecordingScreen::setSeeThrough(QWidget* control, bool on) {
    switches.append(on);
    seeThrough = on;
    if (passTo) passTo->setSeeThrough(control, on);
}

QRgb RecordingScreen::screenPixel(int x, int y) {
    return qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256);
}

void PdfPrinter::printLines(const QStringList& lines, const QFont& font) {
    if (noPrinter) throw plat::LayerError(plat::noPrinterText());
    printed.append(lines);
    if (path.isEmpty()) return;
    QPrinter p(QPrinter::HighResolution);
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(path);
    plat::printLinesOn(p, lines, font);
}

void SuiteTest::SetUp() {
    ASSERT_TRUE(work_.isValid());
    ASSERT_TRUE(driveC_.isValid());
    savedCwd_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work_.path()));
    setenv("TESTSUITE_DRIVE_C", QFile::encodeName(driveC_.path()).constData(), 1);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void SuiteTest::TearDown() {
    QDir::setCurrent(savedCwd_);
    unsetenv("TESTSUITE_DRIVE_C");
}

void SessionTest::SetUp() {
    SuiteTest::SetUp();
    plat::db::session().reset();
}

void SessionTest::TearDown() {
    plat::db::session().reset();
    SuiteTest::TearDown();
}

void TableTest::makeTable(const QList<plat::db::FieldDef>& fields) {
    s.setNetFileDir(driveC());
    s.addPassword(kTablePassword);
    plat::db::createTableFile(inWork("T.DB"), kTablePassword, fields);
    t.setTableName("T.DB");
    other.setTableName("T.DB");
    ds.setTable(&t);
    ds.setUi(&ui);
}

void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        int key;
        if (c == u'\n' || c == u'\r')
            key = Qt::Key_Return;
        else if (c == u'\t')
            key = Qt::Key_Tab;
        else
            key = c.toUpper().unicode();  // Qt's key code of a character is its capital
        const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key(key), QString(c), mods);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key(key), QString(c), mods);
    }
}

bool waitFor(const std::function<bool()>& pred, int ms) {
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired()) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qSleep(1);
    }
    return true;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

}  // namespace testing_support
