#pragma once
// Every modal box and common dialog the programs show goes through UiServices, so a test
// can answer them from a script and see each one (ScriptedUi in tests/harness/harness.h).
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <thread>
#include <utility>

namespace plat {

enum class BoxKind {
    Plain,          // text and OK, no icon, caption = application title
    Error,          // error icon, caption "Error", OK
    Information,    // information icon, caption "Information", OK
    Confirmation,   // question icon, caption "Confirm", Yes and No unless named otherwise
    StandardError,  // text of a failure that ended a handler, OK, caption = application title
    Input,          // text-input box: caption, prompt, preset; OK and Cancel
};

enum class Button { Ok, Cancel, Yes, No };
// Closed: the box was closed by its title-bar button (neither Yes nor No).
enum class Answer { Ok, Cancel, Yes, No, Closed };

struct Box {
    BoxKind kind = BoxKind::Plain;
    QString caption;
    QString text;  // for Input: the prompt
    QList<Button> buttons;
    QString preset;  // Input only, at most 255 characters
};

struct BoxReply {
    Answer answer = Answer::Ok;
    QString input;  // Input only
};

struct FileFilter {
    QString name;  // "Тесты"
    QString mask;  // "*.DB"
};

struct FileDialogSpec {
    QString title;       // empty: the platform's default title
    QString initialDir;  // empty: the current directory
    QString fileName;    // preset file name, may be a mask such as "*.db"
    QString defaultExt;  // without dot
    QList<FileFilter> filters;
    bool fileMustExist = false;  // open dialog
    bool hideReadOnly = true;
};

struct FontChoice {
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = Qt::black;
    int charset = 1;  // DEFAULT_CHARSET; 204 is Cyrillic
    int pitch = 0;    // 0 default, 1 fixed, 2 variable
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows a modal box; the event loop runs meanwhile (timers and sockets go on).
    virtual BoxReply show(const Box& box) = 0;
    // Open and save dialogs. A chosen file's folder becomes the current directory.
    virtual std::optional<QString> openFile(const FileDialogSpec& spec) = 0;
    virtual std::optional<QString> saveFile(const FileDialogSpec& spec) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // The application title: caption of the plain and the standard error box.
    QString title() const { return title_; }
    void setTitle(const QString& t) { title_ = t; }

    // Convenience forms of show().
    void message(const QString& text);
    void error(const QString& text);
    void information(const QString& text);
    // Buttons Yes and No unless others are given; caption "Confirm".
    Answer confirm(const QString& text, QList<Button> buttons = {Button::Yes, Button::No});
    // Cancel (and closing) returns the preset, as if it had been accepted.
    QString input(const QString& caption, const QString& prompt, const QString& preset);
    // One standard error box stands at a time. A socket or timer notification handled under
    // it runs inside its event loop; an error it reports there would open a box inside the
    // box, and a flood of them nests loops without end. Such an error is folded
    // into the standing box instead: its text gains how many more came, and which.
    void standardError(const QString& text);

protected:
    // Gives the standard error box that stands now this text. An implementation whose boxes
    // cannot change keeps the first text; the box still stands alone.
    virtual void amendStandardError(const QString& text) { (void)text; }

private:
    struct Folded {
        QString text;                          // the first text of the standing box
        int count = 0;                         // errors folded into it
        QList<std::pair<QString, int>> texts;  // the folded texts, each with its count
    };
    QString title_;
    std::optional<Folded> standing_;
};

// The standing box's text with the errors folded into it: a line with their number, then
// their texts, each with how often it came; a few texts at most, each cut short.
QString foldedErrorText(const QString& first, int count,
                        const QList<std::pair<QString, int>>& texts);

// The file an open dialog's typed name means, as the desktop's own dialog finds it: the name
// in any letter case, relative to dir unless it is a full path, and with "." + defaultExt
// added when it has no extension and is not found without one. Empty when there is none.
QString findTypedFile(const QString& dir, const QString& typed, const QString& defaultExt);

// Begins reading the system's font configuration on a thread of its own, before the
// application object connects to the display; the returned thread joins when it goes.
std::jthread startReadingFontConfiguration();

// The designs name "MS Sans Serif" and "Times New Roman"; where those are not installed, a
// font that names them gets the metric-compatible face installed with the suite. The windows
// name those faces themselves: a substitute is only tried after Qt has searched the system's
// fallbacks for the missing face, once for every font.
void substituteDesignFonts();

// Set up once on the application object by each program.
// Loads Qt's Russian texts (its dialogs, context menus); false when they are not installed.
bool loadQtTranslations();
// Enter and Return press the focused button, as Space does.
void installEnterPressesFocusedButton();

// The application title of korvel and pandrel: the program file's name without folder and
// extension, its first character kept and the rest in lower case.
QString titleFromProgramName(const QString& programPath);

}  // namespace plat
