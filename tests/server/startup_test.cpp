// Start-up: "port.txt" read, the listener bound, the first entry written.
#include "platform/net/socket_errors.h"
#include "server_fixture.h"

#include <QImage>
#include <cerrno>

using namespace server_tests;
using plat::BoxKind;

namespace {

enum class PortFile { Missing, FreePort, Text, TakenPort };

struct StartCase {
    const char* name;
    PortFile file;
    QByteArray text;  // for PortFile::Text
    bool boxShown;
    BoxKind kind;
    QString boxText;  // filled in for the taken port
    bool listens;
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartupTest : public ServerTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartupTest, ReadsPortFileAndListens) {
    const StartCase& c = GetParam();
    QTcpServer holder;  // another program on the port
    std::unique_ptr<QLockFile> lock;
    quint16 expectedPort = 1024;
    QString boxText = c.boxText;
    switch (c.file) {
        case PortFile::Missing: lock = lockPort1024(); break;
        case PortFile::FreePort:
            expectedPort = freePort();
            // Further lines are not read.
            writePortFile(QByteArray::number(expectedPort) + "\r\nлюбой текст\r\n");
            break;
        case PortFile::Text: writePortFile(c.text); break;
        case PortFile::TakenPort:
            ASSERT_TRUE(holder.listen(QHostAddress::AnyIPv4, 0));
            writePortFile(QByteArray::number(holder.serverPort()));
            boxText = plat::net::apiErrorText(EADDRINUSE, "bind");
            break;
    }
    if (c.boxShown) ui.expect(c.kind, boxText);
    qsizetype linesUnderBox = -1;
    std::unique_ptr<lisgar::TForm1> w;
    ui.onShow = [&](const plat::Box&) { linesUnderBox = w ? w->log().lines().size() : 0; };

    w = std::make_unique<lisgar::TForm1>(services());

    ASSERT_EQ(w->ServerSocket1.active(), c.listens);
    if (c.boxShown) {
        ASSERT_EQ(ui.boxes().size(), 1);
        EXPECT_EQ(linesUnderBox, 0) << "the box comes before the start-up entry";
        EXPECT_EQ(ui.boxes()[0].caption, ui.title());
    } else {
        EXPECT_TRUE(ui.boxes().isEmpty());
    }
    if (!c.listens) {
        EXPECT_TRUE(w->Label2->text().isEmpty());
        EXPECT_TRUE(w->log().lines().isEmpty());
        EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());
        return;
    }
    EXPECT_EQ(w->ServerSocket1.boundPort(), expectedPort);
    EXPECT_EQ(w->Label2->text(), "0");
    ASSERT_EQ(w->log().lines().size(), 1);
    EXPECT_EQ(w->log().lines()[0], "Время 9:05:07  дата 09.12.2026 Запуск протокола тестирования");
    EXPECT_EQ(w->Memo1->toPlainText(), w->log().lines()[0]);

    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, expectedPort);
    EXPECT_TRUE(probe.waitForConnected(3000));
}

const StartCase kStartCases[] = {
    {"PortOnFirstLine", PortFile::FreePort, {}, false, BoxKind::Plain, {}, true},
    {"NoPortFile",
     PortFile::Missing,
     {},
     true,
     BoxKind::Plain,
     "Ошибка при чтении файла port.txt",
     true},
    {"PortNotANumber", PortFile::Text, "10x\r\n", true, BoxKind::StandardError,
     "'10x' is not a valid integer value", false},
    {"EmptyPortFile", PortFile::Text, "", true, BoxKind::StandardError,
     "'' is not a valid integer value", false},
    {"PortTaken", PortFile::TakenPort, {}, true, BoxKind::StandardError, {}, false},
    // 70000 does not fit a port; it must not be cut down to another port silently.
    {"PortOutOfRange", PortFile::Text, "70000", true, BoxKind::StandardError,
     plat::net::apiErrorText(EINVAL, "bind"), false},
    // Port 0 would be a port of the system's choosing that no client knows.
    {"PortZero", PortFile::Text, "0", true, BoxKind::StandardError,
     plat::net::apiErrorText(EINVAL, "bind"), false},
};

INSTANTIATE_TEST_SUITE_P(Server, StartupTest, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServerTest, WindowAsDesigned) {
    startServer();
    EXPECT_EQ(form->windowTitle(), "Сервер протокола тестирования");
    EXPECT_EQ(form->size(), QSize(1004, 686));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(form->Memo1->isReadOnly());
    EXPECT_EQ(form->Memo1->geometry(), QRect(0, 0, 1001, 649));
    EXPECT_EQ(form->Label1->text(), "Подключенных компьютеров ");
    const struct {
        QPushButton* button;
        const char* text;
        QRect place;
        bool tabStop;
    } buttons[] = {
        {form->btSaveFile, "Сохранение протокола", {296, 656, 185, 25}, true},
        {form->btPrint, "Печать протокола", {496, 656, 153, 25}, true},
        {form->btDelete, "Удаление протокола", {664, 656, 169, 25}, false},
        {form->btHelp, "Справка", {848, 656, 73, 25}, true},
        {form->btExit, "Выход", {936, 656, 65, 25}, false},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(b.button->geometry(), b.place) << b.text;
        EXPECT_EQ(bool(b.button->focusPolicy() & Qt::TabFocus), b.tabStop) << b.text;
    }

    // As drawn: the window's blue, the log's grey, the count's caption in yellow.
    form->show();
    const QImage shot = form->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(1004, 686));
    EXPECT_EQ(shot.pixelColor(2, 682), QColor(0, 48, 80));
    EXPECT_EQ(shot.pixelColor(500, 600), QColor(212, 208, 200));
    int yellow = 0;
    for (int x = 8; x < 256; ++x)
        for (int y = 656; y < 677; ++y) yellow += shot.pixelColor(x, y) == QColor(255, 255, 0);
    EXPECT_GT(yellow, 100) << "Label1 is drawn in yellow";
}

}  // namespace
