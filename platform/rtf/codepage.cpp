#include "codepage.h"

#include "platform/codec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <iterator>
#include <mutex>

namespace plat::rtf {

namespace {

const char* codecName(int cp) {
    switch (cp) {
        case 437: return "IBM437";
        case 850: return "IBM850";
        case 866: return "IBM866";
        case 874: return "windows-874";
        case 932: return "windows-31j";
        case 936: return "GBK";
        case 949: return "windows-949";
        case 950: return "Big5";
        case 1250: return "windows-1250";
        case 1251: return "windows-1251";
        case 1252: return "windows-1252";
        case 1253: return "windows-1253";
        case 1254: return "windows-1254";
        case 1255: return "windows-1255";
        case 1256: return "windows-1256";
        case 1257: return "windows-1257";
        case 1258: return "windows-1258";
        case 10000: return "macintosh";
        case 10007: return "x-mac-cyrillic";
        case 20866: return "KOI8-R";
        default: return nullptr;
    }
}

// The byte-to-character table of a single-byte page, made once per page.
struct SbcsTable {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, unsigned char> fromUnicode;
};

SbcsTable makeTable(int cp) {
    SbcsTable t;
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i) all[i] = char(i);
    QString chars;
    if (cp == 1251) {
        chars = plat::fromCp1251(all);
    } else {
        QStringDecoder dec(codecName(cp), QStringDecoder::Flag::Stateless);
        for (int i = 0; i < 256; ++i) {
            QString one = dec.decode(all.mid(i, 1));
            chars.append(one.size() == 1 ? one[0] : QChar(QChar::ReplacementCharacter));
        }
    }
    for (int i = 0; i < 256 && i < chars.size(); ++i) {
        char16_t u = chars[i].unicode();
        t.toUnicode[i] = u;
        if (u != QChar::ReplacementCharacter && !t.fromUnicode.contains(u))
            t.fromUnicode.insert(u, static_cast<unsigned char>(i));
    }
    return t;
}

// Made once per page, on first use, safely from any thread.
const SbcsTable* sbcsTable(int cp) {
    static constexpr int kPages[] = {437,  850,  866,  874,  1250, 1251,  1252,  1253,
                                     1254, 1255, 1256, 1257, 1258, 10000, 10007, 20866};
    constexpr int n = int(std::size(kPages));
    static std::array<std::once_flag, n> once;
    static std::array<SbcsTable, n> tables;
    const int i = int(std::find(std::begin(kPages), std::end(kPages), cp) - std::begin(kPages));
    if (i >= n) return nullptr;
    std::call_once(once[size_t(i)], [&] { tables[size_t(i)] = makeTable(cp); });
    return &tables[size_t(i)];
}

}  // namespace

int codePageOfCharset(int charset) {
    switch (charset) {
        case 0: return 1252;
        case 2: return 1252;  // symbol fonts: their bytes are shown as Latin-1 letters
        case 77: return 10000;
        case 128: return 932;
        case 129: return 949;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        case 254: return 437;
        case 255: return 850;
        default: return 0;
    }
}

bool knownCodePage(int codePage) { return codecName(codePage) != nullptr; }

QString decode(const QByteArray& bytes, int codePage) {
    if (!knownCodePage(codePage)) codePage = 1251;
    if (const SbcsTable* t = sbcsTable(codePage)) {
        QString out(bytes.size(), Qt::Uninitialized);
        QChar* d = out.data();
        for (char b : bytes) *d++ = QChar(t->toUnicode[static_cast<unsigned char>(b)]);
        return out;
    }
    QStringDecoder dec(codecName(codePage), QStringDecoder::Flag::Stateless);
    return dec.decode(bytes);
}

int encodeByte(QChar ch, int codePage) {
    const SbcsTable* t = sbcsTable(codePage);
    if (!t) return -1;
    auto it = t->fromUnicode.constFind(ch.unicode());
    return it == t->fromUnicode.constEnd() ? -1 : *it;
}

}  // namespace plat::rtf
