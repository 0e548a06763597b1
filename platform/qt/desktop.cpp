// What all three programs set up once on their application object: Qt's own texts in
// Russian, and the Enter key on a focused button.
#include "platform/ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>

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
