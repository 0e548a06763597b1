#pragma once
// The question record: one row of a test table, its fields and how every reader treats
// their values.
#include "platform/db/table.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace common {

namespace field {
inline const QString Number = QStringLiteral("Number");
inline const QString TypeVopr = QStringLiteral("TypeVopr");
inline const QString Vopr = QStringLiteral("Vopr");
inline const QString MaxOtv = QStringLiteral("MaxOtv");
inline const QString VoprRTF = QStringLiteral("VoprRTF");
inline const QString VoprBMP = QStringLiteral("VoprBMP");
inline const QString VoprStyle = QStringLiteral("VoprStyle");
QString Otv(int k);  // "Otv1".."Otv7"
QString RO(int k);   // "RO1".."RO7"
}  // namespace field

inline constexpr int kVariants = 7;
inline constexpr int kTypeVoprSize = 1;
inline constexpr int kVoprSize = 255;
inline constexpr int kOtvSize = 110;
inline constexpr int kMaxOtvSize = 1;
inline constexpr int kVoprStyleSize = 1;

// The 21 fields in their order, as the programs bind them (no defaults: those belong to
// the file).
QList<plat::db::FieldDef> questionFields();
// The same with the template table's defaults: VoprStyle "1", TypeVopr "1", MaxOtv "4".
QList<plat::db::FieldDef> templateFields();

enum class AnswerKind { Choice, Typed };
// "2" is a typed answer; anything else, empty included, a choice.
AnswerKind answerKind(const QString& typeVopr);
// "1".."7" as a number; anything else, empty included, 7.
int variantCount(const QString& maxOtv);

enum class QuestionStyle { Text = 1, Rtf = 2, Picture = 3, Invalid = 0 };
// "1", "2", "3"; anything else, empty included, Invalid.
QuestionStyle questionStyle(const QString& voprStyle);

// The bitmap file bytes of a VoprBMP blob: the blob itself when it is a BMP file, the
// bytes behind the 8-byte prefix (16-bit 1, 16-bit 256, 32-bit length of the rest, all
// little-endian) when the blob is exactly that length plus 8 and a BMP follows; empty
// otherwise.
QByteArray bitmapBytes(const QByteArray& blob);

}  // namespace common
