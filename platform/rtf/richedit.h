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

    // Areas of the control, in its own coordinates, that other controls stand over: its text
    // and its scroll bars keep clear of them. An area in the upper half of the control
    // clears a band across its top, one in the lower half a band across its bottom, and the
    // horizontal scroll bar stops short of what stands over it. No areas: the whole control.
    void keepClearOf(const QList<QRect>& covered);

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
    bool event(QEvent* e) override;

private:
    // Empty room beside a scroll bar, added to it on first use.
    QWidget* spacer(QWidget*& slot, Qt::Alignment side);
    QWidget* vbarTop_ = nullptr;
    QWidget* vbarBottom_ = nullptr;
    QWidget* hbarLeft_ = nullptr;
    QWidget* hbarRight_ = nullptr;
    bool bands_ = false;  // room is kept clear: painted as the text's ground
};

}  // namespace plat
