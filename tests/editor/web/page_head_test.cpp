// The page head "new.CRO" that every web test starts with: the editor copies it byte for byte
// and appends its generated statements, so the head must be Windows-1251, end inside an open
// script element, and define the functions the generated page calls.
#include "platform/codec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray templateHead() {
    // The copy the build put beside korvel, as the editor finds it.
    QFile f(QCoreApplication::applicationDirPath() + QStringLiteral("/../korvel/new.CRO"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PageHead, FitsTheGeneratedTail) {
    const QByteArray head = templateHead();
    ASSERT_FALSE(head.isEmpty());
    const QString text = plat::fromCp1251(head);

    // Windows-1251 bytes, declared so; a copy saved as UTF-8 would show as mojibake.
    EXPECT_TRUE(head.contains("charset=\"windows-1251\"") || head.contains("charset=windows-1251"));
    EXPECT_TRUE(head.contains(plat::toCp1251(QStringLiteral("Оценка"))));
    EXPECT_FALSE(head.contains(QStringLiteral("Оценка").toUtf8()));

    // The generated statements follow the last byte directly, inside the head's script.
    const qsizetype open = text.lastIndexOf(QStringLiteral("<script"), -1, Qt::CaseInsensitive);
    ASSERT_GE(open, 0);
    EXPECT_EQ(text.indexOf(QStringLiteral("</script"), open, Qt::CaseInsensitive), -1);
    EXPECT_TRUE(head.endsWith("\r\n"));
    EXPECT_FALSE(text.contains(QStringLiteral("<form"), Qt::CaseInsensitive));
    // mm and qq are assigned without var by the page: strict mode would stop the script.
    EXPECT_FALSE(text.contains(QStringLiteral("use strict")));

    for (const char* fn : {"CheckTasks", "Body", "generateArrayRandomNumber", "createRand",
                           "showmessage", "showHide", "plus1", "next_v"}) {
        const QRegularExpression def(
            QStringLiteral("function\\s+%1\\s*\\(").arg(QLatin1String(fn)));
        EXPECT_TRUE(def.match(text, open).hasMatch()) << fn;
    }
    for (const char* member : {"this.Answer", "this.Yes", "this.No", "this.Check"})
        EXPECT_TRUE(text.contains(QLatin1String(member), Qt::CaseSensitive)) << member;

    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty()) GTEST_SKIP() << "node is not installed: the script's syntax is unchecked";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString js = dir.filePath(QStringLiteral("head.js"));
    QFile out(js);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text.mid(text.indexOf(u'>', open) + 1).toUtf8());
    out.close();
    QProcess check;
    check.start(node, {QStringLiteral("--check"), js});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
}

}  // namespace
