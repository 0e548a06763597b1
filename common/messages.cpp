#include "messages.h"

#include "platform/codec.h"

namespace common {

QByteArray MessageMarker() {
    static const QByteArray marker("\xA9\x08\xA9\x08", MessageMarkerSize);
    return marker;
}

QString TestStartText(const QString& name, const QString& group, const QString& testLabel) {
    return name + QLatin1Char(' ') + group + QStringLiteral(". Старт на оценку. ") + testLabel +
           QLatin1Char('.');
}

QByteArray ComposeMessage(const QString& clientAddress, const QString& text) {
    return MessageMarker() + plat::toCp1251(clientAddress) + ' ' + plat::toCp1251(text);
}

QByteArray TestStartMessage(const QString& clientAddress, const QString& name, const QString& group,
                            const QString& testLabel) {
    return ComposeMessage(clientAddress, TestStartText(name, group, testLabel));
}

QByteArray TestResultMessage(const QString& clientAddress, const QString& resultReport) {
    return ComposeMessage(clientAddress, resultReport);
}

bool StartsWithMarker(const QByteArray& bytes) { return bytes.startsWith(MessageMarker()); }

}  // namespace common
