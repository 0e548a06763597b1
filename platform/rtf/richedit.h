#pragma once
// The rich-edit control: a QTextEdit that loads and saves RTF, takes RTF from the clipboard
// and puts RTF with plain text there on copy.
#include "platform/ui.h"

#include <QTextEdit>

class QMimeData;

namespace plat {

class RichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit RichEdit(QWidget* parent = nullptr);

    // Replaces the content; bytes that are not RTF show as Windows-1251 text. Clears the
    // undo history and the modified flag.
    void loadRtf(const QByteArray& bytes);
    QByteArray rtf() const;
    QString plainText() const;

    // The selection's characters are raised (positive) or lowered from the baseline by
    // twips; 0 puts them back on it.
    void setSelectionOffset(int twips);
    void applyFont(const FontChoice& font);
    FontChoice selectionFont() const;

    // The control's own paste, of the given clipboard contents.
    void pasteFrom(const QMimeData* source) { insertFromMimeData(source); }

    // The clipboard forms of RTF: "text/rtf", and the names other programs register.
    static const QStringList& rtfMimeTypes();
    static bool hasRtf(const QMimeData* data);

signals:
    void mousePressed(Qt::MouseButton button);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace plat
