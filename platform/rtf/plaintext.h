#pragma once
// The plain text of a rich text: its characters without formatting, each paragraph end
// and line break as "\n".
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace plat::rtf {

QString plainText(const QTextDocument* doc);
QString plainText(const QByteArray& rtf);

}  // namespace plat::rtf
