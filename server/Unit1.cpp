#include "Unit1.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/guard.h"
#include "ui_TForm1.h"

#include <QDate>
#include <QDir>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTime>
#include <QTimer>

namespace lisgar {

namespace {

// The port on the first line of "port.txt"; 1024, after the message, when the file cannot
// be read. A first line that is no number throws the conversion's error.
int portFromFile(plat::UiServices& ui) {
    std::optional<QStringList> lines;
    try {
        const QString found = plat::fs::resolve(QStringLiteral("port.txt"));
        lines = plat::fs::readLines(found.isEmpty() ? QStringLiteral("port.txt") : found);
    } catch (const plat::FileError&) {
    }
    if (!lines) {
        ui.message(QStringLiteral("Ошибка при чтении файла port.txt"));
        return 1024;
    }
    return plat::strToInt(lines->value(0));
}

// The text Memo1 shows for lines: each line in pieces of at most kShownPiece characters.
QString shownText(const QStringList& lines) {
    QString shown;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) shown += u'\n';
        const QString& l = lines[i];
        for (qsizetype at = 0; at < l.size(); at += TForm1::kShownPiece) {
            if (at > 0) shown += u'\n';
            shown += QStringView(l).mid(at, TForm1::kShownPiece);
        }
    }
    return shown;
}

}  // namespace

TForm1::TForm1(const plat::Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      ServerSocket1(*services.ui),
      ui_(std::make_unique<Ui::TForm1>()),
      services_(services),
      log_(*this) {
    ui_->setupUi(this);
    Memo1 = ui_->Memo1;
    Label1 = ui_->Label1;
    Label2 = ui_->Label2;
    btSaveFile = ui_->btSaveFile;
    btPrint = ui_->btPrint;
    btDelete = ui_->btDelete;
    btHelp = ui_->btHelp;
    btExit = ui_->btExit;
    // The designed place, kept on a smaller screen or beside a panel.
    move(plat::placeAt(services_.system->availableArea(), QPoint(16, 57), frameGeometry().size()));
    SaveDialog1.defaultExt = QStringLiteral("txt");
    SaveDialog1.fileName = QStringLiteral("protocol.txt");

    ServerSocket1.onClientConnect = [this](auto* s) { ServerSocket1ClientConnect(s); };
    ServerSocket1.onClientDisconnect = [this](auto* s) { ServerSocket1ClientDisconnect(s); };
    ServerSocket1.onClientRead = [this](auto* s) { ServerSocket1ClientRead(s); };
    connect(btSaveFile, &QPushButton::clicked, this, &TForm1::btSaveFileClick);
    connect(btPrint, &QPushButton::clicked, this, &TForm1::btPrintClick);
    connect(btDelete, &QPushButton::clicked, this, &TForm1::btDeleteClick);
    connect(btHelp, &QPushButton::clicked, this, &TForm1::btHelpClick);
    connect(btExit, &QPushButton::clicked, this, &TForm1::btExitClick);

    FormCreate();
}

QString TForm1::TimePrefix() const {
    return plat::longTime(services_.system->now().time()) + QLatin1Char(' ');
}

TForm1::~TForm1() {
    ServerSocket1.onClientDisconnect = nullptr;
    ServerSocket1.deactivate();
}

void TForm1::FormCreate() {
    plat::guarded(*services_.ui, [&] {
        ServerSocket1.setPort(portFromFile(*services_.ui));
        if (!ServerSocket1.active()) ServerSocket1.activate();
        log_.started(TimePrefix(), plat::shortDate(services_.system->now().date()));
    });
}

// The connect and disconnect entries show the client's own address: the server's end is
// the same for every client on one interface and tells the teacher nothing.
void TForm1::ServerSocket1ClientConnect(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        log_.connected(TimePrefix(), Socket->remoteAddress(), ServerSocket1.connectionCount());
    });
}

void TForm1::ServerSocket1ClientDisconnect(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        quiet_.erase(Socket);
        log_.disconnected(Socket, TimePrefix(), Socket->remoteAddress(),
                          ServerSocket1.connectionCount());
    });
}

void TForm1::ServerSocket1ClientRead(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        const QString now = TimePrefix();
        waitForQuiet(Socket, log_.received(Socket, now, Socket->receiveText()));
    });
}

void TForm1::waitForQuiet(plat::net::ServerConnection* Socket, bool waiting) {
    auto it = quiet_.find(Socket);
    if (it == quiet_.end()) {
        if (!waiting) return;
        auto* timer = new QTimer(Socket);  // dies with its connection
        timer->setSingleShot(true);
        timer->setInterval(kQuietMs);
        connect(timer, &QTimer::timeout, this,
                [this, Socket] { plat::guarded(*services_.ui, [&] { log_.quiet(Socket); }); });
        it = quiet_.emplace(Socket, timer).first;
    }
    if (waiting)
        it->second->start();
    else
        it->second->stop();
}

void TForm1::entryAdded(const QStringList& lines, int open) {
    // The control's own append keeps the view at the bottom when it was there.
    Memo1->appendPlainText(shownText(lines));
    if (open < 0) return;
    QTextCursor end(Memo1->document());
    end.movePosition(QTextCursor::End);
    end.setKeepPositionOnInsert(true);
    openEnds_[open] = end;
}

void TForm1::entryExtended(int open, const QStringList& lines) {
    auto it = openEnds_.find(open);
    if (it == openEnds_.end()) return;
    QScrollBar* bar = Memo1->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    // Only the position: the kept cursor's anchor moves with what was appended after it.
    QTextCursor c(Memo1->document());
    c.setPosition(it->second.position());
    c.insertText(shownText(lines));
    it->second.setPosition(c.position());
    // The scroll range follows the layout, which comes later.
    if (atBottom) QTimer::singleShot(0, bar, [bar] { bar->setValue(bar->maximum()); });
}

void TForm1::entryClosed(int open) { openEnds_.erase(open); }

void TForm1::logCleared() {
    Memo1->clear();
    openEnds_.clear();
}

void TForm1::countChanged(int count) { Label2->setText(QString::number(count)); }

void TForm1::btDeleteClick() {
    plat::guarded(*services_.ui, [&] { log_.clear(); });
}

// Printed lines are not wrapped on paper, so the log goes out as Memo1 shows it, wrapped,
// in a size at which a full line of Memo1 fits the width of an A4 or Letter page.
void TForm1::btPrintClick() {
    plat::guarded(*services_.ui, [&] {
        if (log_.isEmpty()) return;
        services_.ui->message(QStringLiteral("печать протокола тестирования"));
        QFont font(QStringLiteral("Times New Roman"));
        font.setBold(true);
        font.setPointSize(9);
        services_.printer->printLines(shownLines(), font);
    });
}

QStringList TForm1::shownLines() const {
    QStringList out;
    QTextDocument* doc = Memo1->document();
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(doc->documentLayout());
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (layout) layout->ensureBlockLayout(b);
        const QTextLayout* lines = b.layout();
        const QString text = b.text();
        if (!lines || lines->lineCount() <= 1) {
            out.append(text);
            continue;
        }
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine l = lines->lineAt(i);
            out.append(text.mid(l.textStart(), l.textLength()));
        }
    }
    return out;
}

void TForm1::btSaveFileClick() {
    plat::guarded(*services_.ui, [&] {
        if (log_.isEmpty()) return;
        const std::optional<QString> path = services_.ui->saveFile(SaveDialog1);
        if (!path) return;
        log_.save(*path);
        services_.ui->message(QStringLiteral("протокол тестирования сохранен!"));
    });
}

void TForm1::btHelpClick() {
    plat::guarded(*services_.ui, [&] {
        services_.shell->open(QDir::current().absoluteFilePath(QStringLiteral("help_lisgar.html")));
    });
}

void TForm1::btExitClick() {
    plat::guarded(*services_.ui, [&] {
        ServerSocket1.deactivate();
        quiet_.clear();
        log_.forgetConnections();
        close();
    });
}

}  // namespace lisgar
