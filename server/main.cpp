// lisgar, the results server: one window that listens for the testing clients and keeps
// the time-stamped log.
#include "Unit1.h"
#include "platform/net/server_socket.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QApplication>

int main(int argc, char** argv) {
    // A whole class connects at once; each computer holds a descriptor.
    plat::net::raiseOpenFileLimit();
    const std::jthread fonts = plat::startReadingFontConfiguration();
    QApplication app(argc, argv);
    plat::useFormatLocale();
    plat::loadQtTranslations();
    plat::installEnterPressesFocusedButton();
    plat::Services services = plat::qtServices();
    services.printer = &plat::qtPrinter();
    services.ui->setTitle(QStringLiteral("Server"));
    lisgar::TForm1 Form1(services);
    Form1.show();
    return app.exec();
}
