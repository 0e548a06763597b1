#pragma once
// Plain-text printing shared by the real printer and the PDF printer of the tests.
#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace plat {

// The text of the failure when the system has no printer.
QString noPrinterText();

// Lays the lines out top to bottom in font on the printer's pages, one line per line,
// starting a new page when one is full. The printer must be set up already.
void printLinesOn(QPrinter& printer, const QStringList& lines, const QFont& font);

}  // namespace plat
