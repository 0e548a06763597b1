#pragma once
// The desktop's clipboard, shared with the other programs: what it holds for a paste, and a
// picture put there for them.
#include <QImage>

class QMimeData;

namespace plat {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // What the clipboard holds now; null or without formats when it is empty. Valid until
    // the clipboard changes.
    virtual const QMimeData* data() = 0;
    // Puts the picture there in the image formats other programs read (PNG, BMP, ...).
    virtual void setImage(const QImage& image) = 0;
};

Clipboard& qtClipboard();

}  // namespace plat
