#pragma once
// The rest of the platform that windows use: the shell's default action, the printer, the
// beep, the screen, and the locale's formats. Each behind an interface with a Qt
// implementation and, for tests, a recording one (tests/harness).
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTime>

namespace plat {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens the file with its default program (the help page in the browser). The result
    // is ignored, as the programs ignore it.
    virtual void open(const QString& path) = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    // Prints the lines as plain text on the default printer, without a dialog.
    // Throws LayerError when there is no printer.
    virtual void printLines(const QStringList& lines, const QFont& font) = 0;
};

class System {
public:
    virtual ~System() = default;
    virtual void beep() = 0;
    // The screen's available area: the primary screen less its panels and task bars.
    virtual QRect availableArea() = 0;
    // The local date and time: every time a program shows or logs comes from here, so a
    // test can stand the clock still.
    virtual QDateTime now() = 0;
};

// What a window is given of the platform.
struct Services {
    class UiServices* ui = nullptr;
    Shell* shell = nullptr;
    Printer* printer = nullptr;
    System* system = nullptr;
    class Clipboard* clipboard = nullptr;
    class Screen* screen = nullptr;
};

// Locale formats from QLocale() (tests set QLocale::setDefault).
// The long time format without time zone and with the hours unpadded, as the desktop the
// programs were made for writes it: "9:05:07", "0:00:47" (Qt's Russian format pads them).
QString longTimeFormat();
QString longTime(const QTime& t);
QString shortDate(const QDate& d);
QChar decimalSeparator();
// The locale whose formats the programs use for a system locale: the system's own, or the
// Russian one where the system names none (C or POSIX), since the programs speak Russian.
QLocale formatLocale(const QLocale& system);
// Makes formatLocale(QLocale::system()) the default; each program calls it at start.
void useFormatLocale();

// The Qt implementations.
Shell& qtShell();
// Kept out of qtServices: only the server prints, and the printing library costs every
// program that links it time at start-up.
Printer& qtPrinter();
System& qtSystem();
class UiServices& qtUi();
// Every service but the printer.
Services qtServices();

// Where a window of this outer size goes: centred in the available area where it fits, at
// the area's left or top edge where it does not, so that its title bar is on the screen.
// Each axis on its own; the halves are truncated.
QPoint placeCentred(const QRect& area, QSize outer);
// A window's designed place kept on the screen: moved in so that it lies wholly in the area
// along an axis where it fits, and so that its top left corner does where it does not.
QPoint placeAt(const QRect& area, QPoint designed, QSize outer);

// Single-copy guard: true when this is the only running copy of the application title.
// Keeps the lock until the process ends; a crashed copy leaves none behind.
bool acquireSingleCopy(const QString& appTitle);

}  // namespace plat
