#include "Unit1.h"

#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/guard.h"
#include "ui_TForm1.h"

#include <QDate>
#include <QDir>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTime>
#include <QTimer>

namespace lisgar {

TForm1::TForm1(const plat::Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      ServerSocket1(*services.ui),
      ui_(std::make_unique<Ui::TForm1>()),
      services_(services) {
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
        int port = 1024;
        QStringList lines;
        bool opened = true;
        try {
            const QString found = plat::fs::resolve(QStringLiteral("port.txt"));
            lines = plat::fs::readLines(found.isEmpty() ? QStringLiteral("port.txt") : found);
        } catch (const plat::FileError&) {
            opened = false;
        }
        if (!opened)
            services_.ui->message(QStringLiteral("Ошибка при чтении файла port.txt"));
        else
            port = plat::strToInt(lines.value(0));
        ServerSocket1.setPort(port);
        if (!ServerSocket1.active()) ServerSocket1.activate();
        Label2->setText(QStringLiteral("0"));
        addEntry(QStringLiteral("Время ") + TimePrefix() + QStringLiteral(" дата ") +
                 plat::shortDate(services_.system->now().date()) +
                 QStringLiteral(" Запуск протокола тестирования"));
    });
}

// The connect and disconnect entries show the client's own address: the server's end is
// the same for every client on one interface and tells the teacher nothing.
void TForm1::ServerSocket1ClientConnect(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        Label2->setText(QString::number(ServerSocket1.connectionCount()));
        addEntry(TimePrefix() + Socket->remoteAddress() + QStringLiteral(" - Подключился."));
    });
}

void TForm1::ServerSocket1ClientDisconnect(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        // A message still being received ends with its connection.
        if (auto it = incoming_.find(Socket); it != incoming_.end()) {
            const std::unique_ptr<Incoming> in = std::move(it->second);
            incoming_.erase(it);
            if (const auto rest = in->assembler.finish()) messageEnded(*in, *rest);
        }
        Label2->setText(QString::number(ServerSocket1.connectionCount() - 1));
        addEntry(TimePrefix() + Socket->remoteAddress() + QStringLiteral(" - Отключился."));
    });
}

// One read is not one message on TCP: a message may come in pieces, and several may come
// in one read. Each connection's bytes are gathered and cut at the markers; a message
// shows once its connection stays quiet for kQuietMs, and what follows it up to the next
// marker is added to its entry.
void TForm1::ServerSocket1ClientRead(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        const QString now = TimePrefix();
        const QByteArray block = Socket->receiveText();
        auto& in = incoming_[Socket];
        if (!in) {
            in = std::make_unique<Incoming>();
            in->quiet = new QTimer(Socket);  // dies with its connection
            in->quiet->setSingleShot(true);
            in->quiet->setInterval(kQuietMs);
            connect(in->quiet, &QTimer::timeout, this, [this, Socket] { messageQuiet(Socket); });
        }
        const bool wasHolding = in->assembler.holding();
        const QList<QByteArray> done = in->assembler.feed(block);
        for (qsizetype i = 0; i < done.size(); ++i) {
            if (i == 0 && wasHolding)
                messageEnded(*in, done[0]);
            else
                addEntry(now + plat::fromCp1251(done[i]));
        }
        if (in->assembler.holding()) {
            if (!wasHolding || !done.isEmpty()) {
                in->time = now;
                in->entry = -1;
            }
            in->quiet->start();
        } else {
            in->quiet->stop();
        }
    });
}

void TForm1::messageQuiet(plat::net::ServerConnection* Socket) {
    plat::guarded(*services_.ui, [&] {
        auto it = incoming_.find(Socket);
        if (it == incoming_.end() || !it->second->assembler.holding()) return;
        Incoming& in = *it->second;
        const QByteArray part = in.assembler.flush();
        if (in.entry < 0)
            in.entry = addEntry(in.time + plat::fromCp1251(part), true);
        else if (!part.isEmpty())
            extendEntry(in.entry, plat::fromCp1251(part));
    });
}

void TForm1::messageEnded(Incoming& in, const QByteArray& rest) {
    if (in.entry < 0) {
        addEntry(in.time + plat::fromCp1251(rest));
        return;
    }
    if (!rest.isEmpty()) extendEntry(in.entry, plat::fromCp1251(rest));
    openEntries_.erase(in.entry);
    in.entry = -1;
}

namespace {
const QRegularExpression& lineBreak() {
    static const QRegularExpression re(QStringLiteral("\r\n|\r|\n"));
    return re;
}
}  // namespace

// The text Memo1 shows for lines: each line in pieces of at most kShownPiece characters.
static QString shownText(const QStringList& lines) {
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

int TForm1::addEntry(const QString& text, bool open) {
    const QStringList lines = text.split(lineBreak());
    logLines += lines;
    // The control's own append keeps the view at the bottom when it was there.
    Memo1->appendPlainText(shownText(lines));
    if (!open) return -1;
    OpenEntry e;
    e.end = QTextCursor(Memo1->document());
    e.end.movePosition(QTextCursor::End);
    e.end.setKeepPositionOnInsert(true);
    e.line = logLines.size() - 1;
    const int id = nextEntry_++;
    openEntries_[id] = e;
    return id;
}

void TForm1::extendEntry(int id, const QString& text) {
    auto it = openEntries_.find(id);
    if (it == openEntries_.end()) return;
    OpenEntry& e = it->second;
    const QStringList lines = text.split(lineBreak());
    const qsizetype at = e.line;
    logLines[at] += lines[0];
    for (qsizetype i = 1; i < lines.size(); ++i) logLines.insert(at + i, lines[i]);
    const qsizetype added = lines.size() - 1;
    for (auto& [other, o] : openEntries_)
        if (other != id && o.line > at) o.line += added;
    e.line += added;
    QScrollBar* bar = Memo1->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    // Only the position: the kept cursor's anchor moves with what was appended after it.
    QTextCursor c(Memo1->document());
    c.setPosition(e.end.position());
    c.insertText(shownText(lines));
    e.end.setPosition(c.position());
    // The scroll range follows the layout, which comes later.
    if (atBottom) QTimer::singleShot(0, bar, [bar] { bar->setValue(bar->maximum()); });
}

void TForm1::btDeleteClick() {
    plat::guarded(*services_.ui, [&] {
        Memo1->clear();
        logLines.clear();
        // A message still arriving starts a new entry.
        openEntries_.clear();
        for (auto& [socket, in] : incoming_) in->entry = -1;
    });
}

// Printed lines are not wrapped on paper, so the log goes out as Memo1 shows it, wrapped,
// in a size at which a full line of Memo1 fits the width of an A4 or Letter page.
void TForm1::btPrintClick() {
    plat::guarded(*services_.ui, [&] {
        if (logLines.isEmpty()) return;
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
        if (logLines.isEmpty()) return;
        const std::optional<QString> path = services_.ui->saveFile(SaveDialog1);
        if (!path) return;
        plat::fs::writeLines(*path, logLines);
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
        incoming_.clear();
        openEntries_.clear();
        close();
    });
}

}  // namespace lisgar
