#include "print.h"

#include "platform/errors.h"
#include "platform/system.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace plat {

QString noPrinterText() { return QStringLiteral("Принтер не установлен: печать невозможна."); }

void printLinesOn(QPrinter& printer, const QStringList& lines, const QFont& font) {
    QPainter painter;
    if (!painter.begin(&printer)) throw LayerError(QStringLiteral("Не удалось начать печать."));
    painter.setFont(font);
    const QFontMetrics fm(painter.font(), &printer);
    const QRect page = painter.viewport();
    const int step = fm.lineSpacing();
    int y = 0;
    for (const QString& line : lines) {
        if (y + step > page.height() && y > 0) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(0, y + fm.ascent(), line);
        y += step;
    }
    painter.end();
}

namespace {

class QtPrinter : public Printer {
public:
    void printLines(const QStringList& lines, const QFont& font) override {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) throw LayerError(noPrinterText());
        QPrinter printer(info, QPrinter::HighResolution);
        printLinesOn(printer, lines, font);
    }
};

}  // namespace

Printer& qtPrinter() {
    static QtPrinter p;
    return p;
}

}  // namespace plat
