#pragma once
// The navigator bar over a DataSource: ten buttons, in the order of NavBtn. Buttons follow
// the table: first and prior off at the beginning, next and last off at the end, delete
// off on an empty table, edit off while editing, post and cancel on exactly while a record
// is edited or inserted, insert, edit, delete and refresh off on a read-only table, all off
// while the table is closed.
//
// A press runs the table's action; clicked(button) follows it, also after a declined
// delete ("Delete record?", OK and Cancel), and not when the action failed: the standard
// error box of the DataSource's UiServices has then shown the engine's text.
//
// The bar is one stop of Tab, and a click on a button also gives it the focus. With the
// focus, one button wears the focus frame: left and right move the frame over the shown
// buttons, enabled or not, and Space presses the framed button when it is enabled.
#include "platform/dbctl/controls.h"

#include <QAbstractButton>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <array>

namespace plat {

enum NavBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};
inline constexpr int kNavButtons = 10;

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    // Tooltips, one per button in NavBtn order; a shorter list leaves the rest without one.
    void setHints(const QStringList& hints);
    QStringList hints() const { return hints_; }
    // Which buttons the bar shows (all ten by default), kept in NavBtn order.
    void setVisibleButtons(const QList<NavBtn>& buttons);

    // Presses a button from code, as a click would (also a disabled or hidden one).
    void btnClick(NavBtn button);
    QAbstractButton* button(NavBtn b) const { return buttons_[b]; }
    bool isButtonEnabled(NavBtn b) const { return buttons_[b]->isEnabled(); }
    // The button that Space presses while the bar has the focus.
    NavBtn focusedButton() const { return focused_; }

signals:
    void clicked(plat::NavBtn button);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void updateButtons();
    void layoutButtons();
    void setFocusedButton(NavBtn b);
    // The shown button next to the framed one (step -1 or +1); the framed one at the end.
    NavBtn shownFrom(int step) const;

    QPointer<DataSource> source_;
    std::array<QAbstractButton*, kNavButtons> buttons_{};
    QStringList hints_;
    NavBtn focused_ = nbFirst;
    QList<QMetaObject::Connection> conns_;
};

}  // namespace plat
