// Fuzz target of the RTF reader: any bytes read without a crash, a hang or undefined
// behaviour, and what the writer makes of the result reads back to the same text.
#include "platform/rtf/plaintext.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);  // fonts need it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray in(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    plat::rtf::read(in, &doc);
    const QString text = plat::rtf::plainText(&doc);
    const QByteArray out = plat::rtf::write(&doc);
    const QString again = plat::rtf::plainText(out);
    if (again != text) {
        fprintf(stderr, "round trip changed the text:\n%s\n---\n%s\n", text.toUtf8().constData(),
                again.toUtf8().constData());
        abort();
    }
    return 0;
}
