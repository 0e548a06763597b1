#include "plaintext.h"

#include "rtfreader.h"

#include <QTextBlock>
#include <QTextDocument>

namespace plat::rtf {

QString plainText(const QTextDocument* doc) {
    QString out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin()) out += QLatin1Char('\n');
        for (QChar ch : b.text()) {
            if (ch == QChar::LineSeparator)
                out += QLatin1Char('\n');
            else if (ch != QChar::ObjectReplacementCharacter)
                out += ch;
        }
    }
    return out;
}

QString plainText(const QByteArray& rtf) {
    QTextDocument doc;
    read(rtf, &doc);
    return plainText(&doc);
}

}  // namespace plat::rtf
