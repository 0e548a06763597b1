#include "system.h"

#include <QDate>
#include <QLocale>
#include <QPoint>

namespace plat {

namespace {

// The locale's long time format without its time-zone field ('t' runs outside quotes).
QString timeFormatWithoutZone() {
    const QString f = QLocale().timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        out.append(c);
    }
    return out.simplified();
}

}  // namespace

QString longTimeFormat() {
    QString f = timeFormatWithoutZone();
    // "HH" and "hh" pad the hours; one letter does not. Quoted text is left alone.
    bool quoted = false;
    for (qsizetype i = 0; i + 1 < f.size(); ++i) {
        if (f[i] == u'\'') quoted = !quoted;
        if (!quoted && (f[i] == u'H' || f[i] == u'h') && f[i + 1] == f[i]) f.remove(i, 1);
    }
    return f;
}

QString longTime(const QTime& t) { return QLocale().toString(t, longTimeFormat()); }

QString shortDate(const QDate& d) { return QLocale().toString(d, QLocale::ShortFormat); }

QChar decimalSeparator() {
    const QString p = QLocale().decimalPoint();
    return p.isEmpty() ? QChar(u'.') : p[0];
}

QLocale formatLocale(const QLocale& system) {
    if (system.language() == QLocale::C) return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void useFormatLocale() { QLocale::setDefault(formatLocale(QLocale::system())); }

QPoint centred(QSize screen, QSize window) {
    // Integer division truncating toward zero, also for a window larger than the screen.
    return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2};
}

}  // namespace plat
