#pragma once
// Windows-1251, the code page of every file, message and table of the suite.
#include <QByteArray>
#include <QString>

namespace plat {

// Every byte maps to one character; 0x98, which has none, maps to U+0098.
QString fromCp1251(const QByteArray& bytes);
// A character the code page cannot hold becomes '?'.
QByteArray toCp1251(const QString& text);
// True when every character of text has a Windows-1251 byte.
bool fitsCp1251(const QString& text);

}  // namespace plat
