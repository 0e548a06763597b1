#include "editor/fileops/test_dialog.h"

#include <QDir>

namespace korvel {

std::optional<QString> AskForTestFile(plat::UiServices& ui, const plat::FileDialogSpec& spec,
                                      const TestFileRefusal& refusal) {
    bool told = false;  // the dialog before was cancelled and the author told to choose
    for (;;) {
        const std::optional<QString> chosen = ui.openFile(spec);
        if (!chosen) {
            if (told) return std::nullopt;
            ui.message(QStringLiteral("необходимо выбрать тест !!!"));
            told = true;
            continue;
        }
        told = false;
        const QString path = QDir::toNativeSeparators(*chosen);
        if (const auto refused = refusal(path)) {
            ui.message(*refused);
            continue;
        }
        return path;
    }
}

}  // namespace korvel
