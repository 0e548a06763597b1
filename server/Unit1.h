#pragma once
// The results server's window: the listener, the log shown in Memo1 with the count of
// connected computers, and the buttons.
#include "platform/net/server_socket.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "server_log.h"

#include <QStringList>
#include <QTextCursor>
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

class TForm1 : public QWidget, private LogView {
    Q_OBJECT
public:
    // How long a connection stays quiet before the message it is sending shows in the log.
    // Bytes that follow without a marker still belong to that message and extend its entry.
    static constexpr int kQuietMs = 200;
    // Memo1 lays a line out in pieces of at most this many characters: one long line laid
    // out whole costs time with the square of its length.
    static constexpr int kShownPiece = 2000;

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

    // The log; Memo1 shows its lines, wrapped to its width.
    const ServerLog& log() const { return log_; }
    // The lines as Memo1 shows them, wrapped lines apart; printing writes these.
    QStringList shownLines() const;

private:
    // Memo1 and Label2 showing the log.
    void entryAdded(const QStringList& lines, int open) override;
    void entryExtended(int open, const QStringList& lines) override;
    void entryClosed(int open) override;
    void logCleared() override;
    void countChanged(int count) override;

    // Shows the message Socket is sending once it has been quiet for kQuietMs.
    void waitForQuiet(plat::net::ServerConnection* Socket, bool waiting);

    std::unique_ptr<Ui::TForm1> ui_;
    plat::Services services_;
    ServerLog log_;
    // The quiet timer of each connection that has sent; a timer dies with its connection.
    std::unordered_map<plat::net::ServerConnection*, QTimer*> quiet_;
    std::unordered_map<int, QTextCursor> openEnds_;  // in Memo1, after an open entry's end
};

}  // namespace lisgar
