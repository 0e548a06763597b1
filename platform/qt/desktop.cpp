// What the programs set up once around their application object: the font configuration read
// early, Qt's own texts in Russian, and the Enter key on a focused button.
#include "platform/rtf/faces.h"
#include "platform/ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#ifdef __linux__
#include <dlfcn.h>
#endif

namespace plat {

namespace {

// Enter and Return press the focused push or tool button, as Space does; Qt leaves them to
// a dialog's default button, so in a window they would do nothing at all.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)))
            return false;
        // Key events reach the focused widget only, so the button has the focus here.
        if (!button->isEnabled() || !button->isVisible()) return false;
        if (!key->isAutoRepeat()) button->click();
        return true;
    }
};

}  // namespace

// fontconfig reads its configuration and font caches in several milliseconds, which a
// window's first text would wait for; begun beside the connection to the display, it is ready
// by then. Called through the library Qt has loaded already, so nothing more is linked.
std::jthread startReadingFontConfiguration() {
#ifdef __linux__
    return std::jthread([] {
        using Init = int (*)();
        if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"))) init();
    });
#else
    return {};
#endif
}

void substituteDesignFonts() {
    for (const auto& [face, standIn] : rtf::standIns()) QFont::insertSubstitution(face, standIn);
}

bool loadQtTranslations() {
    // Qt's dialogs and context menus speak the interface's language; the boxes keep their
    // own captions and buttons (see qt_ui.cpp).
    auto* t = new QTranslator(qApp);
    if (t->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(t))
        return true;
    delete t;
    return false;
}

void installEnterPressesFocusedButton() {
    static QPointer<EnterPressesButton> filter;
    if (filter) return;
    filter = new EnterPressesButton(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace plat
