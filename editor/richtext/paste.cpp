#include "editor/richtext/paste.h"

#include "platform/clipboard.h"
#include "platform/rtf/richedit.h"

#include <QMimeData>
#include <QPainter>

namespace korvel::richtext {

namespace {

PastePlan into(PasteInto target, QImage picture = {}) {
    PastePlan plan;
    plan.into = target;
    plan.picture = std::move(picture);
    return plan;
}

PastePlan refused(const QString& message) {
    PastePlan plan;
    plan.refusal = message;
    return plan;
}

PastePlan refused(const char* missing) {
    return refused(QStringLiteral("Операция не может быть выполнена!\r\n") +
                   QString::fromUtf8(missing));
}

QImage opaque(const QImage& image) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
}

}  // namespace

QImage clipboardPicture(const QMimeData* clip) {
    if (!clip) return {};
    QImage image;
    if (clip->hasImage()) image = qvariant_cast<QImage>(clip->imageData());
    // Offered only under an image type (another program's BMP or PNG): decode it ourselves.
    for (const QString& format : clip->formats()) {
        if (!image.isNull()) break;
        if (format.startsWith(u"image/")) image = QImage::fromData(clip->data(format));
    }
    return image.isNull() ? image : opaque(image);
}

PastePlan planPaste(common::QuestionStyle style, const QMimeData* clip) {
    switch (style) {
        case common::QuestionStyle::Text:
            if (plat::hasPlainText(clip)) return into(PasteInto::Memo);
            return refused("В буфере обмена нет простого текста");
        case common::QuestionStyle::Rtf:
            if (plat::RichEdit::hasRtf(clip)) return into(PasteInto::RichEdit);
            return refused("В буфере обмена нет RTF текста");
        case common::QuestionStyle::Picture:
            if (QImage picture = clipboardPicture(clip); !picture.isNull())
                return into(PasteInto::Picture, picture);
            return refused("В буфере обмена нет графического изображения формата BMP");
        case common::QuestionStyle::Invalid: break;
    }
    return refused(QStringLiteral("ошибка"));
}

}  // namespace korvel::richtext
