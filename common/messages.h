#pragma once
// The two messages a testing client sends to the results server, byte for byte:
// the marker, the client's own dotted IPv4 address, one blank, then Windows-1251 text.
// No length field and no terminator: the receiver finds a message by its marker.
#include "platform/net/socket_errors.h"

#include <QByteArray>
#include <QString>

namespace common {

// A9 08 A9 08: opens every message from a client to the server.
QByteArray MessageMarker();
inline constexpr int MessageMarkerSize = 4;

// The dotted IPv4 form of an address ("192.168.0.12"); an IPv4-mapped IPv6 address is
// written as its IPv4 part. Empty for anything else (no socket, a real IPv6 address).
// Inline: the server, which never calls it, then does not load Qt Network.
inline QString ClientAddress(const QHostAddress& local) { return plat::net::dottedIPv4(local); }

// The text of the start message: name + " " + group + ". Старт на оценку. " + the test
// label ("Тест " + table file name) + ".".
QString TestStartText(const QString& name, const QString& group, const QString& testLabel);

// Marker + address + " " + text, the text in Windows-1251.
QByteArray ComposeMessage(const QString& clientAddress, const QString& text);
QByteArray TestStartMessage(const QString& clientAddress, const QString& name, const QString& group,
                            const QString& testLabel);
// The result report goes out unchanged, CR LF line ends included.
QByteArray TestResultMessage(const QString& clientAddress, const QString& resultReport);

// True when bytes begin with the marker.
bool StartsWithMarker(const QByteArray& bytes);

}  // namespace common
