// The test main: the QApplication is made only after GoogleTest has read its flags, and not
// at all when ctest only lists the tests.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Our own runtime folder of mode 0700: single-copy locks and Qt's runtime files go there.
    QTemporaryDir runtime(QDir::tempPath() + "/suite-runtime-XXXXXX");
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
