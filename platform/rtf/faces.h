#pragma once
// The faces the designs name, and the installed faces that stand in for them where the
// originals are missing: "Times New Roman" is drawn in Liberation Serif, "MS Sans Serif" in
// Liberation Sans. A document keeps the names it was given; the stand-ins only draw them.
#include <QString>
#include <QStringList>
#include <utility>

namespace plat::rtf {

// Each designed face with the installed face that stands in for it.
QList<std::pair<QString, QString>> standIns();

// The families a character format of the face is given: the face itself first (the name it
// keeps), then its stand-in, which is drawn where the face is not installed.
QStringList drawnFamilies(const QString& family);

// The face a stand-in stands in for, else the family itself: what the designs that name the
// stand-in for drawing (the controls' own fonts) mean.
QString designedFace(const QString& family);

// The installed face the family is drawn in: its stand-in where it is not installed itself.
QString drawnFace(const QString& family);

}  // namespace plat::rtf
