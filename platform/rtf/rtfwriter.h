#pragma once
// Writes a QTextDocument as RTF in Windows-1251 ({\rtf1\ansi\ansicpg1251...}), with the
// fonts and colours the document uses and every character format that the reader reads.
#include <QByteArray>

class QTextDocument;

namespace plat::rtf {

QByteArray write(const QTextDocument* doc);

}  // namespace plat::rtf
