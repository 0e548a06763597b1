#pragma once
// Plain text in the forms another program may offer it in, each alone on the clipboard.
#include <QByteArray>
#include <ostream>
#include <vector>

namespace editor_tests {

struct TextForm {
    const char* name;
    const char* type;  // the mime type, or the X11 target
    QByteArray bytes;
    const char* text;  // what is pasted, UTF-8
};

inline void PrintTo(const TextForm& c, std::ostream* os) { *os << c.name; }

inline std::vector<TextForm> textForms() {
    return {
        {"textPlain", "text/plain", QByteArray("вставка"), "вставка"},
        {"utf8", "text/plain;charset=utf-8", QByteArray("вставка"), "вставка"},
        {"utf8Quoted", "text/plain; charset=\"UTF-8\"", QByteArray("вставка"), "вставка"},
        {"windows1251", "text/plain;charset=windows-1251",
         QByteArray("\xe2\xf1\xf2\xe0\xe2\xea\xe0"), "вставка"},
        {"utf8String", "UTF8_STRING", QByteArray("вставка"), "вставка"},
        {"latin1String", "STRING", QByteArray("caf\xe9"), "café"},
    };
}

}  // namespace editor_tests
