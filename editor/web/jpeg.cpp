#include "editor/web/jpeg.h"

#include "editor/fileops/fileset.h"
#include "platform/errors.h"
#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace korvel::web {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // The output lives here, in memory that libjpeg writes through, so it is still valid
    // after a jump back.
    unsigned char* buffer;
    unsigned long size;
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void noOutput(j_common_ptr) {}

}  // namespace

QByteArray EncodeJpeg(const QImage& image) {
    if (image.width() <= 0 || image.height() <= 0) return {};
    // Whatever the picture's own format: 8 bits each of red, green and blue. A bitmap read
    // from a file is 32-bit already; libjpeg takes its pixels as they are and skips the pad.
    const bool direct = image.format() == QImage::Format_RGB32 && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    const QImage rgb = direct ? image : image.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = noOutput;
    // Nothing with a destructor lives between here and the longjmp target.
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(err.buffer);
        throw plat::LayerError(
            QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(err.message)));
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &err.buffer, &err.size);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = direct ? 4 : 3;
    cinfo.in_color_space = direct ? JCS_EXT_BGRX : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(err.buffer), qsizetype(err.size));
    std::free(err.buffer);
    return bytes;
}

PictureFolder::PictureFolder(const QString& webTestName)
    : folder_(plat::fs::resolve(QFileInfo(webTestName).path())) {
    if (folder_.isEmpty()) return;
    // Every name a picture of this page can have; a mark of the mask in the test's name
    // only widens the list.
    for (const QString& name :
         plat::fs::findFiles(folder_, QFileInfo(webTestName).fileName() + kPictureInfix +
                                          QStringLiteral("*.jpg"))) {
        exact_.insert(name);
        const QString key = name.toCaseFolded();
        if (!folded_.contains(key)) folded_.insert(key, name);
    }
}

QString PictureFolder::target(const QString& path) const {
    const QString name = QFileInfo(path).fileName();
    if (exact_.contains(name)) return QDir(folder_).filePath(name);
    const auto hit = folded_.constFind(name.toCaseFolded());
    return hit == folded_.constEnd() ? path : QDir(folder_).filePath(*hit);
}

void WriteJpeg(const QString& path, const QImage& image, const PictureFolder* folder) {
    const QByteArray bytes = EncodeJpeg(image);
    // A new file beside the old one, put in its place once written and synced: a full disk
    // leaves the old picture, never a cut one.
    const QString found = folder ? folder->target(path) : plat::fs::resolve(path);
    plat::fs::writeBytes(found.isEmpty() ? path : found, bytes);
}

}  // namespace korvel::web
