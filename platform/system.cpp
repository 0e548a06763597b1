#include "system.h"

#include <QDate>
#include <QLocale>
#include <QPoint>
#include <algorithm>

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

namespace {

// One axis of the area, from first for room pixels: where a window of this extent starts.
int centredAlong(int first, int room, int extent) {
    return extent <= room ? first + (room - extent) / 2 : first;
}

int keptAlong(int first, int room, int extent, int wanted) {
    const int last = extent <= room ? first + room - extent : first + room - 1;
    return std::clamp(wanted, first, std::max(first, last));
}

}  // namespace

QPoint placeCentred(const QRect& area, QSize outer) {
    return {centredAlong(area.x(), area.width(), outer.width()),
            centredAlong(area.y(), area.height(), outer.height())};
}

QPoint placeAt(const QRect& area, QPoint designed, QSize outer) {
    return {keptAlong(area.x(), area.width(), outer.width(), designed.x()),
            keptAlong(area.y(), area.height(), outer.height(), designed.y())};
}

QLocale formatLocale(const QLocale& system) {
    if (system.language() == QLocale::C) return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void useFormatLocale() { QLocale::setDefault(formatLocale(QLocale::system())); }

}  // namespace plat
