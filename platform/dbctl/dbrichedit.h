#pragma once
// The rich edit bound to a blob field that holds an RTF document.
//
// The field's bytes load as RTF when a record becomes current (null or empty: an empty
// document; bytes that are not RTF show as Windows-1251 text). Any change by the user asks
// the record into edit mode first; the document is written back as RTF just before the
// record is posted. A record the user did not change keeps its bytes as they were. Tab
// moves the focus.
#include "platform/dbctl/controls.h"
#include "platform/rtf/richedit.h"

namespace plat {

class DBRichEdit : public DataAware<RichEdit> {
    Q_OBJECT
public:
    explicit DBRichEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void load();
    void changed();
    bool allowChange();
    bool loading_ = false;
};

}  // namespace plat
