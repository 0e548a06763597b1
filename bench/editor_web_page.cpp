// The web page of a 1,000-question test with 200 picture questions of 993 x 169, generated
// by the editor's button, against libjpeg alone compressing the same 200 pictures in the
// same run. Prints the median of each and their ratio, and the time the table alone takes
// to read the 1,000 records, pictures included.
// Usage: bench_editor_web_page [rounds=5]
#include "bench/bench.h"
#include "common/fixed.h"
#include "common/question.h"
#include "editor/frame.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/picture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

using bench::medianMs;

namespace {

// Answers the page's replace question with Yes; any other box is reported.
class BenchUi : public plat::UiServices {
public:
    plat::BoxReply show(const plat::Box& box) override {
        if (box.kind != plat::BoxKind::Confirmation)
            std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return {plat::Answer::Yes, {}};
    }
    std::optional<QString> openFile(const plat::FileDialogSpec&) override { return {}; }
    std::optional<QString> saveFile(const plat::FileDialogSpec&) override { return {}; }
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice&) override { return {}; }
};

class NoShell : public plat::Shell {
public:
    void open(const QString&) override {}
};

// A picture with the detail of a photographed page: gradients and fine texture.
QImage picture(int seed) {
    QImage img(993, 169, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int t = (x * 7 + y * 13 + seed * 31) % 64;
            line[x] = qRgb((x + seed) % 256, (y * 3 + t) % 256, (x / 4 + y + seed * 5) % 256);
        }
    }
    return img;
}

std::size_t libjpegAlone(const std::vector<QImage>& rgb) {
    std::size_t total = 0;
    for (const QImage& img : rgb) {
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = JDIMENSION(img.width());
        cinfo.image_height = JDIMENSION(img.height());
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 90, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(int(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        total += size;
        std::free(buffer);
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir work, driveC;
    qputenv("TESTSUITE_DRIVE_C", driveC.path().toUtf8());
    QApplication app(argc, argv);
    const QString head = QCoreApplication::applicationDirPath() + "/../korvel/new.CRO";
    QDir::setCurrent(work.path());
    if (!QFile::copy(head, "new.CRO")) {
        std::fprintf(stderr, "no page head at %s\n", qPrintable(head));
        return 1;
    }

    std::vector<QImage> pictures, rgb;
    plat::db::createTableFile(work.filePath("Bench.DB"), common::kMasterPassword,
                              common::templateFields());
    plat::db::session().addPassword(common::kMasterPassword);
    {
        plat::db::Table t;
        t.setTableName(work.filePath("Bench.DB"));
        t.open();
        for (int i = 1; i <= 1000; ++i) {
            t.insert();
            t.fieldByName(common::field::Vopr)
                .setAsString(
                    QStringLiteral("Вопрос %1: какой ответ верный, если @<b>x</b>@ > 2?").arg(i));
            for (int k = 1; k <= 4; ++k) {
                t.fieldByName(common::field::Otv(k))
                    .setAsString(QStringLiteral("вариант %1").arg(k));
                t.fieldByName(common::field::RO(k)).setAsBool(k == i % 4 + 1);
            }
            if (i % 5 == 0) {
                pictures.push_back(picture(i));
                rgb.push_back(pictures.back().convertToFormat(QImage::Format_RGB888));
                t.fieldByName(common::field::VoprStyle).setAsString("3");
                t.fieldByName(common::field::VoprBMP).setAsBytes(plat::bmpBytes(pictures.back()));
            } else if (i % 5 == 1) {
                t.fieldByName(common::field::TypeVopr).setAsString("2");
            }
            t.post();
        }
    }

    BenchUi ui;
    ui.setTitle("korvel");
    NoShell shell;
    korvel::Frame frame({&ui, &shell, &plat::qtPrinter(), &plat::qtSystem()});
    frame.Form3->setWorkingFolder(work.path());
    frame.Form3->MakeTestCurrent("Bench.DB");
    frame.Form3->show();
    frame.Form3->btEditClick();
    QCoreApplication::processEvents();

    std::size_t jpegBytes = 0, blobBytes = 0;
    // In turn, so that a burst of load from elsewhere on the machine hits both.
    const bench::Pair timed = bench::interleaved(
        rounds, [&] { frame.Form1->Button1Click(); }, [&] { jpegBytes = libjpegAlone(rgb); });
    const double page = timed.ours, alone = timed.base;
    // What the walk cannot do without: each record read from the table once.
    plat::db::Table t;
    t.setTableName(work.filePath("Bench.DB"));
    t.open();
    const double reads = medianMs(rounds, [&] {
        blobBytes = 0;
        for (int i = 1; i <= t.recordCount(); ++i) {
            t.setRecNo(i);
            blobBytes += std::size_t(t.fieldByName(common::field::VoprBMP).asBytes().size());
        }
    });
    std::printf(
        "page of 1000 questions, 200 pictures 993x169: %.1f ms (median of %d), %lld bytes\n", page,
        rounds, static_cast<long long>(QFileInfo("Bench.HTML").size()));
    std::printf("libjpeg alone, the same 200 pictures:         %.1f ms, %zu bytes of JPEG\n", alone,
                jpegBytes);
    std::printf("the table alone, 1000 records read:           %.1f ms, %zu bytes of pictures\n",
                reads, blobBytes);
    bench::report("web page of 1000 questions vs libjpeg alone", page, alone);
    bench::report("web page vs libjpeg and table alone", page, alone + reads);
    return 0;
}
