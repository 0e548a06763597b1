// A renamed page still shows its own pictures in a browser: the references it holds as
// numeric character references lead to the pictures under the new name.
#include "tests/editor/fileops/ops_fixture.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

TEST_F(Ops, RenamedPageLoadsEveryPictureInTheBrowser) {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) GTEST_SKIP() << "chromium is not installed";

    layTest(work(), "Физика", true);
    // Real pictures, and a script that counts those the browser could decode.
    for (const char* f : {"ФизикаGrV1.jpg", "ФизикаGrV2.jpg"}) {
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(inWork(QString::fromUtf8(f)), "JPG"));
    }
    QByteArray html = page(kPhysicsRef);
    html.replace("</FORM></BODY></HTML>",
                 "<script>window.onload=function(){var n=0;for(const i of document.images)"
                 "if(i.src.indexOf('GrV')>=0&&i.naturalWidth>0)n++;"
                 "document.body.setAttribute('data-pictures',n+' of '+document.images.length);};"
                 "</script></FORM></BODY></HTML>");
    put(inWork("Физика.HTML"), html);
    makeCurrent("Физика.db", true);

    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
    form->Button1Click();
    ASSERT_EQ(listing(work()), "Химия.DB Химия.HTML Химия.VAL ХимияGrV1.jpg ХимияGrV2.jpg");

    QTemporaryDir profile;
    QProcess browser;
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu",
                             "--user-data-dir=" + profile.path(), "--virtual-time-budget=5000",
                             "--dump-dom", QUrl::fromLocalFile(inWork("Химия.HTML")).toString()});
    ASSERT_TRUE(browser.waitForFinished(60000));
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    EXPECT_TRUE(dom.contains(QStringLiteral("data-pictures=\"2 of 3\""))) << s(dom);
}

}  // namespace
