// Reading and writing a rich text of about 100 KB: plat::rtf::read into a fresh document
// and plat::rtf::write of it, against Qt's own reading and writing of the same document as
// HTML in the same run; and the plain text.
// Usage: bench_rtf_rw [kilobytes=100] [rounds=51]
#include "bench/bench.h"
#include "platform/rtf/charformat.h"
#include "platform/rtf/plaintext.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

namespace {

// Questions as an author writes them: Cyrillic paragraphs with bold and italic words,
// coloured and raised or lowered characters, a few fonts and alignments.
QByteArray sample(int kilobytes) {
    QTextDocument doc;
    QTextCursor c(&doc);
    const QStringList families = {"Times New Roman", "Arial", "Courier New"};
    const QString words[] = {
        "Вычислите",    "массу",    "иона",  "Fe",  "если",   "известно", "что",
        "концентрация", "раствора", "равна", "0,5", "моль/л", "Ω",        "—"};
    int n = 0;
    for (int para = 0;; ++para) {
        QTextBlockFormat bf;
        bf.setAlignment(para % 4 == 1   ? Qt::AlignHCenter
                        : para % 4 == 3 ? Qt::AlignJustify
                                        : Qt::AlignLeft);
        if (para)
            c.insertBlock(bf);
        else
            c.setBlockFormat(bf);
        for (int w = 0; w < 40; ++w, ++n) {
            QTextCharFormat f;
            f.setFontFamilies({families[n % 3]});
            f.setFontPointSize(10 + n % 5 * 2);
            if (n % 7 == 0) f.setFontWeight(QFont::Bold);
            if (n % 11 == 0) f.setFontItalic(true);
            if (n % 13 == 0) f.setForeground(QColor(n % 255, 40, 200));
            c.insertText(words[n % 14], f);
            if (n % 9 == 0) {
                plat::rtf::setOffsetTwips(f, n % 2 ? 70 : -70, f.fontPointSize());
                c.insertText("3+", f);
            }
            c.insertText(" ", QTextCharFormat());
        }
        const QByteArray bytes = plat::rtf::write(&doc);
        if (bytes.size() >= kilobytes * 1024) return bytes;
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const int kb = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 51;
    const QByteArray rtf = sample(kb);

    QTextDocument doc;
    plat::rtf::read(rtf, &doc);
    const QString html = doc.toHtml();
    std::printf(
        "document: %lld bytes of RTF (%lld characters of HTML), %d characters, %d paragraphs\n",
        static_cast<long long>(rtf.size()), static_cast<long long>(html.size()),
        doc.characterCount(), doc.blockCount());
    const auto read = bench::interleaved(
        rounds,
        [&] {
            QTextDocument d;
            plat::rtf::read(rtf, &d);
        },
        [&] {
            QTextDocument d;
            d.setHtml(html);
        });
    bench::report("RTF read into a document", read);
    const auto write = bench::interleaved(
        rounds, [&] { (void)plat::rtf::write(&doc); }, [&] { (void)doc.toHtml(); });
    bench::report("RTF written from a document", write);
    const auto plain = bench::interleaved(
        rounds, [&] { (void)plat::rtf::plainText(&doc); }, [&] { (void)doc.toPlainText(); });
    bench::report("plain text of a document", plain);
    return 0;
}
