#include "tests/desktop/desktop.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdlib>
#include <gtest/gtest.h>

namespace desktop_tests {

namespace {
const char* const kScreenVariable = "SUITE_DESKTOP_SCREEN";
}

std::string screenGeometry() {
    const char* asked = std::getenv(kScreenVariable);
    return asked && *asked ? asked : "1280x1024x24";
}

QSize screenSize() {
    const QStringList parts = QString::fromStdString(screenGeometry()).split(u'x');
    return {parts.value(0).toInt(), parts.value(1).toInt()};
}

void runOnScreenOf(QSize size) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QStringLiteral("%1.%2").arg(test->test_suite_name(), test->name());
    QProcess self;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kScreenVariable, QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()));
    self.setProcessEnvironment(env);
    self.setProcessChannelMode(QProcess::MergedChannels);
    self.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + name});
    const bool finished = self.waitForFinished(90000);
    if (!finished) self.kill();
    const std::string out = QString::fromLocal8Bit(self.readAll()).toStdString();
    ASSERT_TRUE(finished) << out;
    EXPECT_EQ(self.exitCode(), 0) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
}

}  // namespace desktop_tests
