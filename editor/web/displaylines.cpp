#include "editor/web/displaylines.h"

#include <QApplication>
#include <QFrame>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>
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

TextBoxLayout QuestionTextBox() {
    TextBoxLayout box;
    box.font = QFont(QStringLiteral("Liberation Serif"), 12);
    box.font.setBold(false);
    box.font.setItalic(false);
    box.font = box.font.resolve(QApplication::font());
    const QTextDocument doc;
    box.option = doc.defaultTextOption();
    box.option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.documentMargin = doc.documentMargin();
    // The sunken styled panel of a scroll area, as QFrame measures it.
    QStyle* style = QApplication::style();
    QStyleOptionFrame frame;
    frame.rect = QRect(0, 0, 993, 169);
    frame.frameShape = QFrame::StyledPanel;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = 1;
    box.width = style->subElementRect(QStyle::SE_ShapedFrameContents, &frame, nullptr).width();
    return box;
}

QString BoxText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Through a document as the box holds it, so that it reads back as the box gives it.
    QTextDocument doc;
    doc.setPlainText(t);
    return doc.toPlainText();
}

QStringList DisplayLines(const QString& text, const TextBoxLayout& box) {
    return DisplayLines(text, box.font, box.option, box.width, box.documentMargin);
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
