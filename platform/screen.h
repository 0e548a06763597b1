#pragma once
// The screen beneath the windows: copying its pixels, and cutting a see-through area out
// of a window where a control is drawn in clCream.
#include <QImage>
#include <QRect>
#include <memory>

class QWidget;

namespace plat {

class Screen {
public:
    virtual ~Screen() = default;
    // A new bitmap of r's size holding the screen pixels in r, in screen coordinates of the
    // whole virtual desktop. What lies outside every screen comes out black; an empty r
    // gives a null image. The copy itself is not checked.
    virtual QImage CaptureScreenRect(const QRect& r) = 0;
    // The screen pixels in r beneath the window of a see-through control: for the moment of
    // the copy the window is cut out at the whole of r, so that neither its own controls over
    // the area nor what it draws there are copied, and the copy waits until what lies
    // beneath has drawn itself. Without the see-through switch on, what CaptureScreenRect
    // gives: the window itself, where it lies over r.
    virtual QImage CaptureBeneath(QWidget* control, const QRect& r) = 0;
    // While on, the control's top-level window is see-through wherever the control is drawn
    // in clCream, and the hole follows the control as it moves, resizes or repaints. Off
    // gives the whole window back.
    virtual void setSeeThrough(QWidget* control, bool on) = 0;
};

// The Qt screen of this platform: its windows are shaped where the window system has shapes
// (not on Wayland, where the see-through switch changes nothing visible).
Screen& qtScreen();
// One with or without shaped windows, whatever the platform.
std::unique_ptr<Screen> makeQtScreen(bool shapedWindows);

}  // namespace plat
