// The real boxes and dialogs. Each runs its own event loop (exec), so timers and socket
// notifications go on while it is open.
#include "platform/files.h"
#include "platform/rtf/faces.h"
#include "platform/system.h"
#include "platform/ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace plat {

namespace {

// A lone CR (and CR LF) of the programs' texts is a line break in a box.
QString boxText(QString t) {
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

QWidget* boxParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

// The text with every line that is wider than width broken into lines that fit: at blanks
// where it can, anywhere in a word too long for one line (a long file name).
QString fitLines(const QString& text, const QFont& font, int width) {
    QStringList out;
    for (const QString& line : text.split(u'\n')) {
        QTextLayout layout(line, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine())
            l.setLineWidth(width);
        layout.endLayout();
        if (layout.lineCount() <= 1) {
            out << line;
            continue;
        }
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine l = layout.lineAt(i);
            QString piece = line.mid(l.textStart(), l.textLength());
            while (piece.endsWith(u' ')) piece.chop(1);
            out << piece;
        }
    }
    return out.join(u'\n');
}

// A message box that tells a close by its title-bar button (or Escape) from a button.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedByFrame = false;

    // A new text while the box stands: our label takes it, and the box sizes itself again.
    void retext(const QString& text) {
        const QString t = boxText(text);
        if (auto* own = findChild<QLabel*>(QStringLiteral("box_text"))) {
            own->setText(fitLines(t, own->font(), textWidth()));
            own->adjustSize();
        }
        setText(t);
    }

protected:
    // Qt wraps any line wider than about 420 pixels; the classic box wraps only what does not
    // fit on the screen, so a result report keeps its lines of ten items. Our own label
    // stands in the place of Qt's, which sizes the box from what the layout holds.
    void showEvent(QShowEvent* e) override {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        auto* qtLabel = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QScreen* scr = screen();
        if (grid && qtLabel && !findChild<QLabel*>(QStringLiteral("box_text"))) {
            const QSize avail = scr ? scr->availableGeometry().size() : QSize(1024, 768);
            auto* own = new QLabel;
            own->setObjectName(QStringLiteral("box_text"));
            own->setTextFormat(Qt::PlainText);
            own->setTextInteractionFlags(qtLabel->textInteractionFlags());
            own->setWordWrap(false);
            own->setText(fitLines(qtLabel->text(), own->font(), textWidth()));
            QWidget* text = own;
            // A text taller than the screen (the report of a long run) scrolls, so that the
            // buttons stay on the screen.
            const int room = avail.height() - 160;
            if (own->sizeHint().height() > room) {
                auto* scroll = new QScrollArea;
                scroll->setObjectName(QStringLiteral("box_scroll"));
                scroll->setFrameShape(QFrame::NoFrame);
                scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                scroll->setWidget(own);
                scroll->setMinimumSize(
                    own->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width(),
                    room);
                scroll->setMaximumHeight(room);
                text = scroll;
            }
            text->setParent(this);
            int row = 0, col = 0, rows = 1, cols = 1;
            grid->getItemPosition(grid->indexOf(qtLabel), &row, &col, &rows, &cols);
            qtLabel->hide();
            grid->addWidget(text, row, col, rows, cols);
        }
        QMessageBox::showEvent(e);
        place();
    }
    // The widest a line of the text may be: three quarters of the screen.
    // QMessageBox makes itself no wider than the screen less 480 pixels (at most 1000; a
    // screen of 1024 or less whole): a text laid out wider is cut at its right edge. The
    // icon, the margins and the spacing take their part of that.
    int textWidth() const {
        const QScreen* scr = screen();
        const int screenWidth = scr ? scr->availableGeometry().width() : 1024;
        const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
        int besideText = 0;
        if (const auto* grid = qobject_cast<const QGridLayout*>(layout())) {
            const QMargins m = grid->contentsMargins();
            besideText = m.left() + m.right() + 2 * std::max(grid->horizontalSpacing(), 6);
        }
        if (const auto* icon = findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
            besideText += icon->sizeHint().width();
        return std::min(screenWidth * 3 / 4, boxLimit - besideText - 8);
    }
    // Qt sizes the box again once its layout has settled: place it again for that size.
    void resizeEvent(QResizeEvent* e) override {
        QMessageBox::resizeEvent(e);
        if (isVisible()) place();
    }
    // Centred over the window it belongs to (or the screen), and wholly on the screen.
    void place() {
        const QScreen* scr = screen();
        if (!scr) return;
        const QRect avail = scr->availableGeometry();
        if (width() > avail.width()) setFixedWidth(avail.width());
        const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
        const QRect area = over && over->isVisible() ? over->frameGeometry() : avail;
        const QSize frame = frameGeometry().size();
        QPoint at = area.center() - QPoint(frame.width() / 2, frame.height() / 2);
        at.setX(std::clamp(at.x(), avail.left(),
                           std::max(avail.left(), avail.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), avail.top(),
                           std::max(avail.top(), avail.bottom() + 1 - frame.height())));
        move(at);
    }
    void closeEvent(QCloseEvent* e) override {
        closedByFrame = true;
        QDialog::closeEvent(e);  // rejects without pressing any button
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) {
            close();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
};

QMessageBox::StandardButton qtButton(Button b) {
    switch (b) {
        case Button::Ok: return QMessageBox::Ok;
        case Button::Cancel: return QMessageBox::Cancel;
        case Button::Yes: return QMessageBox::Yes;
        case Button::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QString buttonText(Button b) {
    switch (b) {
        case Button::Ok: return QStringLiteral("OK");
        case Button::Cancel: return QStringLiteral("Cancel");
        case Button::Yes: return QStringLiteral("Yes");
        case Button::No: return QStringLiteral("No");
    }
    return QStringLiteral("OK");
}

Answer answerOf(int standardButton) {
    switch (standardButton) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Cancel: return Answer::Cancel;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return Answer::Closed;
    }
}

QMessageBox::Icon iconOf(BoxKind k) {
    switch (k) {
        case BoxKind::Plain: return QMessageBox::NoIcon;
        case BoxKind::Error: return QMessageBox::Critical;
        case BoxKind::Information: return QMessageBox::Information;
        case BoxKind::Confirmation: return QMessageBox::Question;
        case BoxKind::StandardError: return QMessageBox::Critical;
        case BoxKind::Input: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

BoxReply showInput(const Box& box) {
    const QString preset = box.preset.left(255);
    QInputDialog dlg(boxParent());
    dlg.setWindowTitle(box.caption);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setLabelText(boxText(box.text));
    dlg.setTextValue(preset);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Cancel"));
    if (auto* edit = dlg.findChild<QLineEdit*>()) edit->setMaxLength(255);
    if (dlg.exec() == QDialog::Accepted) return {Answer::Ok, dlg.textValue()};
    return {Answer::Cancel, preset};
}

// standing, when given, points at the box while it is open.
BoxReply showBox(const Box& box, QPointer<MessageBox>* standing = nullptr) {
    if (box.kind == BoxKind::Input) return showInput(box);
    MessageBox mb(iconOf(box.kind), box.caption, boxText(box.text), QMessageBox::NoButton,
                  boxParent());
    if (standing) *standing = &mb;
    mb.setTextFormat(Qt::PlainText);
    const QList<Button> buttons = box.buttons.isEmpty() ? QList<Button>{Button::Ok} : box.buttons;
    // The buttons keep the texts the programs give them, whatever language Qt speaks.
    for (Button b : buttons) mb.addButton(qtButton(b))->setText(buttonText(b));
    mb.setDefaultButton(qtButton(buttons.first()));
    mb.exec();
    if (QAbstractButton* clicked = mb.clickedButton(); clicked && !mb.closedByFrame)
        return {answerOf(mb.standardButton(clicked)), {}};
    // Closed by the frame: a box with Cancel answers Cancel, a box with only OK answers OK,
    // a Yes/No box neither.
    if (buttons.contains(Button::Cancel)) return {Answer::Cancel, {}};
    if (buttons == QList<Button>{Button::Ok}) return {Answer::Ok, {}};
    return {Answer::Closed, {}};
}

// The file dialog of the classic desktop: a name typed into the open dialog is found in any
// letter case and with the default extension added when it has none.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    QString defaultExt;

protected:
    void accept() override {
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (acceptMode() == AcceptOpen && edit) {
            const QString typed = edit->text();
            if (!typed.isEmpty() && !typed.contains(u'*') && !typed.contains(u'?')) {
                const QString found = findTypedFile(directory().absolutePath(), typed, defaultExt);
                if (!found.isEmpty()) {
                    setDirectory(QFileInfo(found).absolutePath());
                    edit->setText(QFileInfo(found).fileName());
                }
            }
        }
        QFileDialog::accept();
    }
};

std::optional<QString> runFileDialog(const FileDialogSpec& spec, bool save) {
    FileDialog dlg(boxParent(), spec.title);
    dlg.defaultExt = spec.defaultExt;
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(!save && spec.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (save) dlg.setOption(QFileDialog::DontConfirmOverwrite);  // the programs decide
    QString dir = spec.initialDir.isEmpty() ? fs::currentDir() : spec.initialDir;
    if (const QString r = fs::resolve(dir); !r.isEmpty()) dir = r;
    dlg.setDirectory(dir);

    QStringList filters;
    for (const FileFilter& f : spec.filters) {
        QString mask = f.mask;
        mask.replace(u';', u' ');
        filters << QStringLiteral("%1 (%2)").arg(f.name, mask);
    }
    const bool wildcard = spec.fileName.contains(u'*') || spec.fileName.contains(u'?');
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
    } else {
        // No filter given: no file-type list; a mask in the name field lists what it matches.
        if (wildcard) dlg.setNameFilter(spec.fileName);
        for (QWidget* w :
             {static_cast<QWidget*>(dlg.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))),
              static_cast<QWidget*>(dlg.findChild<QLabel*>(QStringLiteral("fileTypeLabel")))})
            if (w) w->hide();
    }
    if (!spec.fileName.isEmpty() && !wildcard) dlg.selectFile(spec.fileName);
    if (!spec.defaultExt.isEmpty()) dlg.setDefaultSuffix(spec.defaultExt);
    if (wildcard)
        if (auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(spec.fileName);

    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    const QString path = QDir::toNativeSeparators(QFileInfo(chosen.first()).absoluteFilePath());
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

// The font part of the font box: Qt's font dialog without buttons of its own. Whatever would
// close it (Escape, Return in one of its fields or lists) closes the box instead; closing
// itself, it would only hide, and leave the box blank.
class FontPart : public QFontDialog {
public:
    FontPart(const QFont& font, QDialog* box) : QFontDialog(font, box), box_(box) {
        setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        setWindowFlags(Qt::Widget);
    }

protected:
    void done(int result) override { box_->done(result); }
    void keyPressEvent(QKeyEvent* e) override {
        const bool plain = !(e->modifiers() & ~Qt::KeypadModifier) &&
                           (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter);
        if (plain)
            box_->accept();
        else if (e->matches(QKeySequence::Cancel))
            box_->reject();
        else
            QFontDialog::keyPressEvent(e);
    }

private:
    QDialog* box_;
};

// The style of the family that shows the weight and slant asked for. Given none, the dialog
// would select the first style it lists, which is often the bold one.
QString styleOf(const QString& family, bool bold, bool italic) {
    const int weight = bold ? QFont::Bold : QFont::Normal;
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::italic(family, style) != italic) continue;
        const int distance = std::abs(QFontDatabase::weight(family, style) - weight);
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    return best;
}

// The font dialog of the classic desktop: the font, its effects and a colour from the sixteen
// basic ones, in one box. The face is listed as installed (a stand-in for a designed face
// that is missing); left as it was, the designed name is what comes back.
std::optional<FontChoice> runFontDialog(const FontChoice& initial) {
    const QString shownFamily = rtf::drawnFace(initial.family);
    QFont f(shownFamily, initial.pointSize);
    f.setBold(initial.bold);
    f.setItalic(initial.italic);
    f.setUnderline(initial.underline);
    f.setStrikeOut(initial.strikeOut);
    const QString style = styleOf(shownFamily, initial.bold, initial.italic);
    if (!style.isEmpty()) f.setStyleName(style);

    QDialog box(boxParent());
    box.setWindowTitle(QStringLiteral("Шрифт"));
    auto* layout = new QVBoxLayout(&box);
    auto* fonts = new FontPart(f, &box);
    layout->addWidget(fonts);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("Цвет:"), &box));
    auto* colours = new QComboBox(&box);
    static const std::pair<const char*, QRgb> basic[] = {
        {"Черный", 0x000000},       {"Бордовый", 0x800000},    {"Зеленый", 0x008000},
        {"Оливковый", 0x808000},    {"Темно-синий", 0x000080}, {"Фиолетовый", 0x800080},
        {"Сине-зеленый", 0x008080}, {"Серый", 0x808080},       {"Серебристый", 0xC0C0C0},
        {"Красный", 0xFF0000},      {"Лайм", 0x00FF00},        {"Желтый", 0xFFFF00},
        {"Синий", 0x0000FF},        {"Фуксия", 0xFF00FF},      {"Голубой", 0x00FFFF},
        {"Белый", 0xFFFFFF}};
    for (const auto& [name, rgb] : basic) {
        QPixmap swatch(16, 12);
        swatch.fill(QColor(rgb));
        colours->addItem(QIcon(swatch), QString::fromUtf8(name), QColor(rgb));
    }
    int current = colours->findData(initial.color);
    if (current < 0) {  // a colour of the document outside the sixteen stays choosable
        QPixmap swatch(16, 12);
        swatch.fill(initial.color);
        colours->addItem(QIcon(swatch), initial.color.name(), initial.color);
        current = colours->count() - 1;
    }
    colours->setCurrentIndex(current);
    colourRow->addWidget(colours, 1);
    layout->addLayout(colourRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    // Return elsewhere in the box presses OK; the font part's own hidden OK would keep the
    // button box from making its OK the default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    if (box.exec() != QDialog::Accepted) return std::nullopt;

    const QFont chosen = fonts->currentFont();
    FontChoice c = initial;  // charset and pitch: the family brings its own
    c.color = colours->currentData().value<QColor>();
    c.family = chosen.family() == shownFamily ? initial.family : chosen.family();
    c.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : initial.pointSize;
    c.bold = chosen.bold();
    c.italic = chosen.italic();
    c.underline = chosen.underline();
    c.strikeOut = chosen.strikeOut();
    return c;
}

class QtUi : public UiServices {
public:
    BoxReply show(const Box& box) override {
        if (box.kind != BoxKind::StandardError) return showBox(box);
        return showBox(box, &standingError_);
    }
    std::optional<QString> openFile(const FileDialogSpec& spec) override {
        return runFileDialog(spec, false);
    }
    std::optional<QString> saveFile(const FileDialogSpec& spec) override {
        return runFileDialog(spec, true);
    }
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override {
        return runFontDialog(initial);
    }

protected:
    void amendStandardError(const QString& text) override {
        if (standingError_) standingError_->retext(text);
    }

private:
    QPointer<MessageBox> standingError_;
};

}  // namespace

UiServices& qtUi() {
    static QtUi ui;
    return ui;
}

}  // namespace plat
