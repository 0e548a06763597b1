#include "faces.h"

#include <QFontDatabase>

namespace plat::rtf {

namespace {

struct StandIn {
    QLatin1String designed;
    QLatin1String drawn;
};

// Metric-compatible faces, so that lines wrap as they do with the originals.
constexpr StandIn kStandIns[] = {
    {QLatin1String("Times New Roman"), QLatin1String("Liberation Serif")},
    {QLatin1String("MS Sans Serif"), QLatin1String("Liberation Sans")},
};

}  // namespace

QList<std::pair<QString, QString>> standIns() {
    QList<std::pair<QString, QString>> pairs;
    for (const StandIn& s : kStandIns) pairs.append({s.designed, s.drawn});
    return pairs;
}

QStringList drawnFamilies(const QString& family) {
    for (const StandIn& s : kStandIns)
        if (family.compare(s.designed, Qt::CaseInsensitive) == 0) return {family, s.drawn};
    return {family};
}

QString designedFace(const QString& family) {
    for (const StandIn& s : kStandIns)
        if (family.compare(s.drawn, Qt::CaseInsensitive) == 0) return s.designed;
    return family;
}

QString drawnFace(const QString& family) {
    for (const StandIn& s : kStandIns)
        if (family.compare(s.designed, Qt::CaseInsensitive) == 0 &&
            !QFontDatabase::hasFamily(family))
            return s.drawn;
    return family;
}

}  // namespace plat::rtf
