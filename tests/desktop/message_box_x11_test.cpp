// The boxes on a screen wider than 1024 pixels, where Qt keeps a box 480 pixels narrower than
// the screen: a long line wraps within the box instead of being cut at its edge.
#include "platform/ui.h"
#include "tests/harness/harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <functional>

namespace {

TEST(X11MessageBox, ALongLineWrapsWithinTheBox) {
    if (qgetenv("DISPLAY").isEmpty()) GTEST_SKIP() << "no virtual display (Xvfb missing)";
    ASSERT_GT(QApplication::primaryScreen()->availableGeometry().width(), 1024);
    const QString text = QStringLiteral(
        "Название теста слишком длинное (125 знаков): имя файла ...ЖЖЖЖЖЖЖЖЖЖЖЖGrV1.jpg заняло "
        "бы 258 байт, а файловая система допускает не больше 255. Выберите название короче.");
    int boxWidth = 0, textRight = 0, lines = 0;
    std::function<void(QWidget*, QLabel*)> measure;
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        QWidget* w = QApplication::activeModalWidget();
        auto* label = w ? w->findChild<QLabel*>("box_text") : nullptr;
        if (!label || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(200, w, [&, w, label] { measure(w, label); });
    });
    measure = [&](QWidget* w, QLabel* label) {
        boxWidth = w->width();
        const QFontMetrics fm(label->font());
        int widest = 0;
        for (const QString& l : label->text().split(u'\n'))
            widest = std::max(widest, fm.horizontalAdvance(l));
        textRight = label->mapTo(w, QPoint(0, 0)).x() + widest;
        lines = int(label->text().count(u'\n')) + 1;
        for (auto* b : w->findChildren<QAbstractButton*>()) b->click();
    };
    timer->start();
    plat::qtUi().error(text);
    EXPECT_GT(lines, 1);
    EXPECT_LE(textRight, boxWidth);
}

}  // namespace
