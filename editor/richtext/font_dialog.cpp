#include "editor/richtext/font_dialog.h"

#include <QGuiApplication>
#include <QPalette>

namespace korvel::richtext {

FontDialog::FontDialog() {
    font_.family = QStringLiteral("MS Sans Serif");
    font_.pointSize = 8;  // height -11 at 96 dots per inch
    font_.color = QGuiApplication::palette().color(QPalette::WindowText);
    font_.charset = 1;  // DEFAULT_CHARSET
    font_.pitch = 0;
}

bool FontDialog::execute(plat::UiServices& ui) {
    const std::optional<plat::FontChoice> chosen = ui.chooseFont(font_);
    if (!chosen) return false;
    font_ = *chosen;
    return true;
}

}  // namespace korvel::richtext
