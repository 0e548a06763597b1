#pragma once
// The results server's window: the listener, the time-stamped log and its buttons.
#include "message_assembler.h"
#include "platform/net/server_socket.h"
#include "platform/system.h"
#include "platform/ui.h"

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

class TForm1 : public QWidget {
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
    // The log as its entries were added, one line per line break; Memo1 shows the same
    // lines, wrapped to its width. Saving writes these.
    QStringList logLines;
    // The lines as Memo1 shows them, wrapped lines apart; printing writes these.
    QStringList shownLines() const;

private:
    struct Incoming {
        MessageAssembler assembler;
        QTimer* quiet = nullptr;
        QString time;    // TimePrefix when the message being received began to arrive
        int entry = -1;  // its entry, once part of it is shown
    };
    // An entry that a message still being received may extend.
    struct OpenEntry {
        QTextCursor end;     // in Memo1, after its last character
        qsizetype line = 0;  // its last line in logLines
    };
    // Adds an entry; open: it may be extended later (returns its id, else -1).
    int addEntry(const QString& text, bool open = false);
    void extendEntry(int id, const QString& text);
    void messageEnded(Incoming& in, const QByteArray& rest);
    void messageQuiet(plat::net::ServerConnection* Socket);

    std::unique_ptr<Ui::TForm1> ui_;
    plat::Services services_;
    std::unordered_map<plat::net::ServerConnection*, std::unique_ptr<Incoming>> incoming_;
    std::unordered_map<int, OpenEntry> openEntries_;
    int nextEntry_ = 0;
};

}  // namespace lisgar
