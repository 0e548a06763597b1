#pragma once
// A program's bare form for the start-up bench: the form its uic header describes, built on a
// plain window and shown, with none of the program's own work.
#include <QApplication>
#include <QWidget>

namespace bench {

template <class Form>
int showBareForm(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    Form form;
    form.setupUi(&w);
    w.show();
    return app.exec();
}

}  // namespace bench
