#pragma once
// The window's small pictures, drawn once at start (they belong to the window, not to data).
#include <QIcon>
#include <QPixmap>

namespace pandrel::pictures {

QPixmap decoration();  // Image1, Image2: a pointer from caption to field, 49 x 25
QPixmap online();      // imOnline, 46 x 42
QPixmap offline();     // imOffline, 46 x 42
QIcon enlarge();       // Pictogr
QIcon windowIcon();

}  // namespace pandrel::pictures
