#include "editor/richtext/font_dialog.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

namespace korvel::richtext {

FontDialog::FontDialog() {
    font_.family = QStringLiteral("MS Sans Serif");
    font_.pointSize = 8;
    font_.color = QGuiApplication::palette().color(QPalette::WindowText);
    font_.charset = 1;  // DEFAULT_CHARSET
    font_.pitch = 0;
}

bool FontDialog::execute(plat::UiServices& ui) {
    plat::FontChoice shown = font_;
    // The dialog lists installed families only: offer the one the face is drawn with.
    shown.family = installedFamily(font_.family);
    const std::optional<plat::FontChoice> chosen = ui.chooseFont(shown);
    if (!chosen) return false;
    font_ = *chosen;
    return true;
}

QString installedFamily(const QString& family) {
    QFont f(family);
    f.setStyleHint(QFont::SansSerif);
    return QFontInfo(f).family();
}

}  // namespace korvel::richtext
