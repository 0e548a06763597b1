#pragma once
// Question tables for the benchmarks, written straight through SQLCipher in one
// transaction (through Table every post would sync), and the bare-library reader that the
// project's path is measured against: the same file, the same key, one prepared select.
#include "common/fixed.h"
#include "common/question.h"
#include "platform/codec.h"
#include "platform/db/create.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <sqlcipher/sqlite3.h>
#include <stdexcept>
#include <vector>

namespace bench {

inline sqlite3* openKeyed(const QString& path) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error("cannot open " + path.toStdString());
    const QByteArray key = plat::toCp1251(common::kMasterPassword);
    sqlite3_key(h, key.constData(), int(key.size()));
    return h;
}

// A picture of about the given size as BMP file bytes (24 bits, so 3 bytes a pixel).
inline QByteArray bmpOfAbout(int bytes, int seed) {
    const int w = 640;
    const int h = std::max(1, bytes / (w * 3));
    QImage img(w, h, QImage::Format_RGB888);
    QPainter p(&img);
    p.fillRect(img.rect(), QColor::fromHsv(seed * 37 % 360, 120, 230));
    p.setPen(Qt::black);
    for (int y = 0; y < h; y += 16) p.drawLine(0, y, w, (y * 7 + seed) % h);
    p.end();
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return out;
}

// A test table of records questions: text questions with four answers and a 400-byte RTF,
// or, with pictureBytes > 0, picture questions with a BMP of about that size each.
inline void writeTestTable(const QString& path, int records, int pictureBytes = 0) {
    plat::db::createTableFile(path, common::kMasterPassword, common::questionFields());
    sqlite3* h = openKeyed(path);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        h,
        "INSERT INTO records (TypeVopr, Vopr, Otv1, Otv2, Otv3, Otv4, MaxOtv, RO1, RO2, "
        "VoprRTF, VoprStyle, VoprBMP) VALUES ('1', ?, ?, ?, ?, ?, '4', 1, 0, ?, ?, ?)",
        -1, &st, nullptr);
    const QByteArray rtf = QByteArray("{\\rtf1\\ansi ") + QByteArray(400, 'x') + "}";
    for (int i = 0; i < records; ++i) {
        const QByteArray q =
            QStringLiteral("Вопрос номер %1: сколько будет %1 + %1?").arg(i).toUtf8();
        sqlite3_bind_text(st, 1, q.constData(), int(q.size()), SQLITE_TRANSIENT);
        for (int k = 2; k <= 5; ++k) {
            const QByteArray a = QStringLiteral("Ответ %1 на вопрос %2").arg(k - 1).arg(i).toUtf8();
            sqlite3_bind_text(st, k, a.constData(), int(a.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_blob(st, 6, rtf.constData(), int(rtf.size()), SQLITE_STATIC);
        QByteArray bmp;
        if (pictureBytes > 0) {
            bmp = bmpOfAbout(pictureBytes, i);
            sqlite3_bind_text(st, 7, "3", 1, SQLITE_STATIC);
            sqlite3_bind_blob(st, 8, bmp.constData(), int(bmp.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_text(st, 7, i % 2 ? "2" : "1", 1, SQLITE_STATIC);
            sqlite3_bind_null(st, 8);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// The storage library alone: the file opened with the key, the keys read in order (what an
// opening needs before its first record), and one record read by key with every column
// touched, as a move does.
class BareReader {
public:
    explicit BareReader(const QString& path) : path_(path) { open(); }
    ~BareReader() { close(); }

    void open() {
        h_ = openKeyed(path_);
        sqlite3_stmt* k = nullptr;
        sqlite3_prepare_v2(h_, "SELECT Number FROM records ORDER BY Number", -1, &k, nullptr);
        keys_.clear();
        while (sqlite3_step(k) == SQLITE_ROW) keys_.push_back(sqlite3_column_int64(k, 0));
        sqlite3_finalize(k);
        sqlite3_prepare_v2(h_, "SELECT * FROM records WHERE Number = ?", -1, &row_, nullptr);
    }
    void close() {
        sqlite3_finalize(row_);
        row_ = nullptr;
        sqlite3_close(h_);
        h_ = nullptr;
    }
    int count() const { return int(keys_.size()); }

    // Reads record n (1-based); gives the bytes it touched so nothing is optimised away.
    qint64 read(int n) {
        sqlite3_bind_int64(row_, 1, keys_[size_t(n - 1)]);
        qint64 touched = 0;
        if (sqlite3_step(row_) == SQLITE_ROW) {
            for (int c = 0, cols = sqlite3_column_count(row_); c < cols; ++c) {
                if (sqlite3_column_type(row_, c) == SQLITE_BLOB) {
                    const char* p = static_cast<const char*>(sqlite3_column_blob(row_, c));
                    const int len = sqlite3_column_bytes(row_, c);
                    touched += len ? p[len - 1] : 0;
                } else {
                    sqlite3_column_text(row_, c);
                }
                touched += sqlite3_column_bytes(row_, c);
            }
        }
        sqlite3_reset(row_);
        return touched;
    }

private:
    QString path_;
    sqlite3* h_ = nullptr;
    sqlite3_stmt* row_ = nullptr;
    std::vector<qint64> keys_;
};

}  // namespace bench
