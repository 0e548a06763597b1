// Saving, printing and the help page of the log.
#include "common/messages.h"
#include "platform/codec.h"
#include "platform/qt/print.h"
#include "server_fixture.h"
#include "tests/harness/disk.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextLayout>
#include <cerrno>

using namespace server_tests;
using plat::BoxKind;

namespace {

const QString kSaved = QStringLiteral("протокол тестирования сохранен!");
const QString kPrinting = QStringLiteral("печать протокола тестирования");

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SaveTest : public ServerTest {
protected:
    // The log: the start-up entry, a connect, and a two-line message wider than Memo1.
    void fillLog() {
        startServer();
        client = connectClient();
        wide = QString(40, QChar(u'ж')) + QStringLiteral(" ") + QString(150, QChar(u'ё'));
        send(*client, common::ComposeMessage("127.0.0.1", wide + "\r\nвторая строка"));
        ASSERT_TRUE(waitFor([&] { return form->log().lines().size() == 4; }));
    }
    QByteArray expectedFile() const {
        QByteArray b;
        for (const QString& l : form->log().lines()) b += plat::toCp1251(l) + "\r\n";
        return b;
    }
    std::unique_ptr<QTcpSocket> client;
    QString wide;
};

TEST_F(SaveTest, WritesEntriesAsAddedInCp1251WithCrLf) {
    fillLog();
    // The wide entry wraps on screen and still saves as one line.
    form->show();
    QCoreApplication::processEvents();
    const QTextBlock wideBlock = form->Memo1->document()->findBlockByNumber(2);
    ASSERT_TRUE(wideBlock.text().endsWith(wide));
    EXPECT_GT(wideBlock.layout()->lineCount(), 1);
    const QString target = inWork("sub/protocol.txt");
    QDir(work()).mkdir("sub");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'o'));  // longer than the log: nothing of it may stay
    }
    ui.expectSave(target).expect(BoxKind::Plain, kSaved);
    form->btSaveFile->click();

    const QByteArray bytes = readFile(target);
    EXPECT_EQ(bytes, expectedFile());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_TRUE(bytes.contains(plat::toCp1251(wide) + "\r\n"));
    ASSERT_EQ(ui.dialogs().size(), 1);
    EXPECT_EQ(ui.dialogs()[0].fileName, "protocol.txt");
    EXPECT_EQ(ui.dialogs()[0].defaultExt, "txt");
    EXPECT_EQ(form->log().lines().size(), 4) << "saving leaves the log as it was";

    // The dialog made the chosen folder current: the help page is looked for there.
    form->btHelp->click();
    EXPECT_EQ(shell.opened, QStringList({QDir(work()).filePath("sub/help_lisgar.html")}));
}

TEST_F(SaveTest, CancelledDialogWritesNothing) {
    fillLog();
    ui.expectSave(std::nullopt);
    form->btSaveFile->click();
    EXPECT_EQ(ui.boxes().size(), 0);
    EXPECT_FALSE(QFile::exists(inWork("protocol.txt")));
}

TEST_F(SaveTest, FailedWriteShowsTheErrorAndNoSuccess) {
    fillLog();
    ui.expectSave(inWork("missing-folder/protocol.txt")).expect(BoxKind::StandardError);
    form->btSaveFile->click();
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].kind, BoxKind::StandardError);
}

// Saving over an earlier log on a disk that is full: the earlier log stays byte for byte,
// nothing else is left beside it, and the error box says why instead of the success.
class FullDiskSave : public SaveTest {
protected:
    static constexpr const char* kEarlier = "9:00:00 the earlier lesson\r\n";
    QString writeEarlierLog(const QString& folder) {
        const QString target = QDir(folder).filePath("protocol.txt");
        QFile old(target);
        EXPECT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(kEarlier);
        return target;
    }
    void saveOver(const QString& target) {
        fillLog();
        ui.setTitle("Server");
        ui.expectSave(target).expect(BoxKind::StandardError);
        form->btSaveFile->click();
        ASSERT_EQ(ui.boxes().size(), 1);
        const plat::Box& box = ui.boxes()[0];
        EXPECT_EQ(box.kind, BoxKind::StandardError);
        EXPECT_EQ(box.caption, "Server");
        EXPECT_TRUE(box.text.contains(target)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("диск заполнен"))) << box.text.toStdString();
        EXPECT_EQ(readFile(target), kEarlier);
        EXPECT_EQ(form->log().lines().size(), 4);
    }
};

class FullDiskAtStep : public FullDiskSave,
                       public ::testing::WithParamInterface<plat::fs::Change> {};

TEST_P(FullDiskAtStep, KeepsTheEarlierLog) {
    ASSERT_TRUE(QDir(work()).mkdir("sub"));
    const QString target = writeEarlierLog(inWork("sub"));
    testing_support::FailingSteps full(GetParam(), ENOSPC);
    saveOver(target);
    EXPECT_EQ(full.failed(), 1);
    EXPECT_EQ(plat::fs::findFiles(inWork("sub"), "*"), QStringList{"protocol.txt"});
}

std::string stepName(const ::testing::TestParamInfo<plat::fs::Change>& info) {
    static const char* const names[] = {"Create", "Write", "Sync", "Close", "Rename"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Steps, FullDiskAtStep,
                         ::testing::Values(plat::fs::Change::Create, plat::fs::Change::Write,
                                           plat::fs::Change::Sync, plat::fs::Change::Close,
                                           plat::fs::Change::Rename),
                         stepName);

TEST_F(FullDiskSave, OnARealFullDiskKeepsTheEarlierLog) {
    testing_support::SmallDisk disk(inWork("disk"), 64);
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    const QString target = writeEarlierLog(inWork("disk"));
    disk.fill();
    saveOver(target);
    EXPECT_EQ(plat::fs::findFiles(inWork("disk"), "*"), (QStringList{"filler", "protocol.txt"}));
}

TEST_F(SaveTest, PrintsEveryLineAsShownAfterTheMessage) {
    fillLog();
    form->show();
    printer.path = inWork("log.pdf");
    qsizetype printedUnderBox = -1;
    ui.onShow = [&](const plat::Box&) { printedUnderBox = printer.printed.size(); };
    ui.expect(BoxKind::Plain, kPrinting);
    form->btPrint->click();
    EXPECT_EQ(printedUnderBox, 0) << "printing starts when the box is closed";
    ASSERT_EQ(printer.printed.size(), 1);
    // Paper does not wrap: the wide entry goes out in the lines Memo1 shows, nothing cut.
    const QStringList& printed = printer.printed[0];
    EXPECT_GT(printed.size(), form->log().lines().size());
    EXPECT_EQ(printed.join(QString()), form->log().lines().join(QString()));
    EXPECT_TRUE(readFile(printer.path).startsWith("%PDF"));
}

TEST_F(SaveTest, NoPrinterGivesTheStandardErrorBox) {
    fillLog();
    printer.noPrinter = true;
    ui.expect(BoxKind::Plain, kPrinting).expect(BoxKind::StandardError, plat::noPrinterText());
    form->btPrint->click();
    EXPECT_EQ(form->log().lines().size(), 4);
}

// An empty log is neither saved nor printed, and nothing says so.
TEST_F(ServerTest, EmptyLogIsNotSavedOrPrinted) {
    startServer();
    form->btDelete->click();
    form->btSaveFile->click();
    form->btPrint->click();
    EXPECT_TRUE(ui.boxes().isEmpty());
    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_TRUE(printer.printed.isEmpty());
}

}  // namespace
