// The clipboard over QClipboard: on X11 the CLIPBOARD selection, which Qt converts to and
// from the mime types other programs offer.
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace plat {

namespace {

class QtClipboard : public Clipboard {
public:
    const QMimeData* data() override { return QGuiApplication::clipboard()->mimeData(); }
    void setImage(const QImage& image) override { QGuiApplication::clipboard()->setImage(image); }
};

}  // namespace

Clipboard& qtClipboard() {
    static QtClipboard c;
    return c;
}

}  // namespace plat
