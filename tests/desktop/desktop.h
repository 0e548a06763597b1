#pragma once
// The virtual screen of the desktop tests, and a test run again on a screen of another size.
#include <QSize>
#include <string>

namespace desktop_tests {

// The Xvfb screen this process asked for ("1280x1024x24" unless run on another).
std::string screenGeometry();
// The size of this process's screen as it was asked for.
QSize screenSize();
// Runs the current test again in a process of its own on an Xvfb screen of this size; the
// test passes when it passed there. A test calls it when screenSize() is not its size.
void runOnScreenOf(QSize size);

}  // namespace desktop_tests
