#pragma once
// The results server's window: the listener, the time-stamped log and its buttons.
#include "message_assembler.h"
#include "platform/net/server_socket.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <unordered_map>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace lisgar {

namespace Ui {
class TForm1;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // How long a connection stays quiet before the message it was sending counts as whole.
    static constexpr int kQuietMs = 200;

    // Creating the window runs FormCreate.
    explicit TForm1(const plat::Services& services, QWidget* parent = nullptr);
    ~TForm1() override;

    void FormCreate();
    void ServerSocket1ClientConnect(plat::net::ServerConnection* Socket);
    void ServerSocket1ClientDisconnect(plat::net::ServerConnection* Socket);
    void ServerSocket1ClientRead(plat::net::ServerConnection* Socket);
    void btDeleteClick();
    void btPrintClick();
    void btSaveFileClick();
    void btHelpClick();
    void btExitClick();

    // The time of the system's clock in the long time format and one blank: "9:05:07 ".
    QString TimePrefix() const;

    // The controls of the form (TForm1.ui).
    QPlainTextEdit* Memo1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* btSaveFile;
    QPushButton* btPrint;
    QPushButton* btDelete;
    QPushButton* btHelp;
    QPushButton* btExit;

    plat::net::ServerSocket ServerSocket1;
    plat::FileDialogSpec SaveDialog1;
    // The log as its entries were added, one line per line break; Memo1 shows the same
    // lines, wrapped to its width. Saving writes these.
    QStringList logLines;
    // The lines as Memo1 shows them, wrapped lines apart; printing writes these.
    QStringList shownLines() const;

private:
    struct Incoming {
        MessageAssembler assembler;
        QTimer* quiet = nullptr;
    };
    void addEntry(const QString& text);
    void addMessage(const QByteArray& body);
    void messageQuiet(plat::net::ServerConnection* Socket);

    std::unique_ptr<Ui::TForm1> ui_;
    plat::Services services_;
    std::unordered_map<plat::net::ServerConnection*, std::unique_ptr<Incoming>> incoming_;
};

}  // namespace lisgar
