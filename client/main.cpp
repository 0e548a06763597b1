// pandrel: the testing client.
#include "client/TForm1.h"
#include "client/state.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QApplication>

int main(int argc, char** argv) {
    const std::jthread fonts = plat::startReadingFontConfiguration();
    QApplication app(argc, argv);
    plat::useFormatLocale();
    plat::substituteDesignFonts();
    plat::loadQtTranslations();
    plat::installEnterPressesFocusedButton();
    plat::Services services = plat::qtServices();
    // No title of its own: the program file's name gives it.
    services.ui->setTitle(plat::titleFromProgramName(QCoreApplication::applicationFilePath()));

    pandrel::ClientState state;
    pandrel::ClientUnitInit(state);
    int rc = 0;
    {
        pandrel::TForm1 Form1(services, state);
        if (!Form1.refused()) {
            Form1.show();
            // Ask for the focus: its first arrival starts the test choice, also on a
            // desktop whose window manager does not give it to a new window by itself.
            Form1.activateWindow();
            rc = app.exec();
        }
    }
    pandrel::ClientUnitFinal(state);
    return rc;
}
