#include "platform/system.h"

#include "platform/errors.h"
#include "tests/harness/harness.h"

#include <QDate>
#include <QFile>
#include <QLockFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

class SystemTest : public testing_support::SuiteTest {};

// Qt's Russian long format pads the hours ("HH:mm:ss"); the programs write them unpadded.
TEST_F(SystemTest, LocaleFormatsWithoutTimeZoneOrPaddedHours) {
    EXPECT_EQ(plat::longTime(QTime(9, 5, 7)), "9:05:07");
    EXPECT_EQ(plat::longTime(QTime(0, 0, 47)), "0:00:47");
    EXPECT_EQ(plat::longTime(QTime(23, 59, 0)), "23:59:00");
    EXPECT_EQ(plat::longTimeFormat(), "H:mm:ss");
    EXPECT_EQ(plat::shortDate(QDate(2026, 3, 1)), "01.03.2026");
    EXPECT_EQ(plat::decimalSeparator(), u',');

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(plat::longTime(QTime(21, 5, 7)), "9:05:07 PM");
    EXPECT_EQ(plat::decimalSeparator(), u'.');
}

// A window's top left corner stays in the available area, whatever the screen: centred
// where the window fits, at the area's edge where it does not, each axis on its own.
TEST(Placement, KeepsTheTopLeftCornerInTheAvailableArea) {
    const struct {
        const char* name;
        QRect area;
        QSize outer;
        QPoint centred;
        QPoint designed;  // placeAt of (16, 57)
    } cases[] = {
        {"fits, halves truncated", {0, 0, 1280, 1024}, {1015, 715}, {132, 154}, {16, 57}},
        {"wider and taller", {0, 0, 800, 600}, {1020, 734}, {0, 0}, {16, 57}},
        {"only too tall", {0, 0, 1025, 367}, {484, 368}, {270, 0}, {16, 57}},
        {"panel at the top", {0, 100, 1280, 924}, {1004, 686}, {138, 219}, {16, 100}},
        {"panel at the left, too wide", {64, 0, 736, 600}, {1020, 734}, {64, 0}, {64, 57}},
        {"designed place runs past the edge", {0, 0, 1024, 700}, {1004, 686}, {10, 7}, {16, 14}},
        {"second screen", {1280, 0, 800, 600}, {484, 368}, {1438, 116}, {1280, 57}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plat::placeCentred(c.area, c.outer), c.centred) << c.name;
        EXPECT_EQ(plat::placeAt(c.area, {16, 57}, c.outer), c.designed) << c.name;
        for (const QPoint p :
             {plat::placeCentred(c.area, c.outer), plat::placeAt(c.area, {16, 57}, c.outer)})
            EXPECT_TRUE(c.area.contains(p)) << c.name;
    }
}

// A system that names no locale gets the Russian formats; one that names a locale keeps it.
TEST_F(SystemTest, FormatsAreRussianWhereTheSystemNamesNoLocale) {
    struct Case {
        const char* system;
        const char* date;
        const char* time;
        QChar decimal;
    };
    const Case cases[] = {
        {"C", "09.12.2026", "9:05:07", u','},
        {"POSIX", "09.12.2026", "9:05:07", u','},
        {"en_US", "12/9/26", "9:05:07 AM", u'.'},
        {"de_DE", "09.12.26", "9:05:07", u','},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(plat::formatLocale(QLocale(QString::fromLatin1(c.system))));
        EXPECT_EQ(plat::shortDate(QDate(2026, 12, 9)), c.date) << c.system;
        EXPECT_EQ(plat::longTime(QTime(9, 5, 7)), c.time) << c.system;
        EXPECT_EQ(plat::decimalSeparator(), c.decimal) << c.system;
    }
}

TEST(SingleCopy, RefusedWhileAnotherHoldsTheTitle) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Another live process (this one, through a lock of its own) holds "Pandrel".
    QLockFile other(dir + "/Pandrel.lock");
    ASSERT_TRUE(other.tryLock(0));
    EXPECT_FALSE(plat::acquireSingleCopy("Pandrel"));
    other.unlock();
    EXPECT_TRUE(plat::acquireSingleCopy("Pandrel"));
    EXPECT_TRUE(plat::acquireSingleCopy("Pandrel"));  // the holder asking again
    // The title compares exactly: another letter case is another program.
    EXPECT_TRUE(plat::acquireSingleCopy("PANDREL"));
}

TEST(SingleCopy, LockOfACrashedCopyIsCleared) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    QFile lock(dir + "/Korvel.lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nkorvel\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    EXPECT_TRUE(plat::acquireSingleCopy("Korvel"));
}

TEST(QtPrinter, NoPrinterIsAClearFailure) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a printer";
    try {
        plat::qtPrinter().printLines({"строка"}, QFont());
        ADD_FAILURE() << "no error";
    } catch (const plat::LayerError& e) {
        EXPECT_EQ(e.text(), "Принтер не установлен: печать невозможна.");
    }
}

}  // namespace
