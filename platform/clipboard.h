#pragma once
// The desktop's clipboard, shared with the other programs: what it holds for a paste, and a
// picture put there for them.
#include <QImage>
#include <QString>
#include <optional>

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

// Plain text comes in many forms: "text/plain", with a charset ("text/plain;charset=utf-8",
// all that many programs of an X11 desktop offer), or as an X11 string target (UTF8_STRING,
// STRING, TEXT). Whether data holds it in one of them, and the text, decoded by its charset.
bool hasPlainText(const QMimeData* data);
std::optional<QString> plainText(const QMimeData* data);

}  // namespace plat
