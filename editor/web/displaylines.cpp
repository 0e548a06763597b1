#include "editor/web/displaylines.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextLayout>

namespace korvel::web {

QStringList DisplayLines(const QString& text, const QFont& font, const QTextOption& option,
                         qreal width, qreal documentMargin) {
    QStringList out;
    if (text.isEmpty()) return out;
    QStringList blocks = text.split(u'\n');
    if (blocks.last().isEmpty()) blocks.removeLast();
    // As the plain-text box lays out a block: the width less the margins on both sides.
    const qreal lineWidth = width > 0 ? width - 2 * documentMargin : qreal(INT_MAX);
    for (const QString& block : blocks) {
        if (block.isEmpty()) {
            out.append(QString());
            continue;
        }
        QTextLayout layout(block, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            out.append(block.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return out;
}

QStringList DisplayLines(const QPlainTextEdit& box, const QString& text) {
    const QTextDocument* doc = box.document();
    // The box lays its text out at its viewport's width; a box that has not had its size
    // yet (never shown) will have its contents width, scroll bars being off.
    const qreal width = box.testAttribute(Qt::WA_PendingResizeEvent) ? box.contentsRect().width()
                                                                     : box.viewport()->width();
    return DisplayLines(text.isNull() ? box.toPlainText() : text, doc->defaultFont(),
                        doc->defaultTextOption(), width, doc->documentMargin());
}

}  // namespace korvel::web
