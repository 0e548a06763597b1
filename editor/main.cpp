#include "editor/fileops/fileset_change.h"
#include "editor/frame.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QApplication>

int main(int argc, char** argv) {
    const std::jthread fonts = plat::startReadingFontConfiguration();
    QApplication app(argc, argv);
    plat::useFormatLocale();
    plat::loadQtTranslations();
    plat::installEnterPressesFocusedButton();
    plat::substituteDesignFonts();

    plat::Services services = plat::qtServices();
    services.ui->setTitle(plat::titleFromProgramName(plat::fs::programPath()));
    QApplication::setApplicationName(services.ui->title());

    // Started from its icon on Windows, the editor runs in its own folder, where the template
    // set, the help page and the tests lie; start so wherever it was started from.
    plat::fs::setCurrentDir(plat::fs::programDir());
    // An operation on a test that a crash or a power cut stopped is finished, or undone,
    // before any test is offered.
    const QStringList stuck = korvel::RecoverFileSetChange(plat::fs::programDir());
    if (!stuck.isEmpty())
        services.ui->message(QStringLiteral("Прерванная операция с файлами тестов не доведена до "
                                            "конца; проверьте файлы:\r") +
                             stuck.join(QStringLiteral("\r")));

    // The question editor is built once the start window is on the screen.
    korvel::Frame frame(services, korvel::Frame::Editor::AfterStartWindowDrawn);
    frame.Form3->show();
    return app.exec();
}
