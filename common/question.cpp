#include "common/question.h"

namespace common {

using plat::db::FieldDef;
using plat::db::FieldType;

QString field::Otv(int k) { return QStringLiteral("Otv%1").arg(k); }
QString field::RO(int k) { return QStringLiteral("RO%1").arg(k); }

QList<FieldDef> questionFields() {
    QList<FieldDef> f;
    f.append({field::Number, FieldType::AutoInc, 0});
    f.append({field::TypeVopr, FieldType::String, kTypeVoprSize});
    f.append({field::Vopr, FieldType::String, kVoprSize});
    for (int k = 1; k <= kVariants; ++k) f.append({field::Otv(k), FieldType::String, kOtvSize});
    f.append({field::MaxOtv, FieldType::String, kMaxOtvSize});
    for (int k = 1; k <= kVariants; ++k) f.append({field::RO(k), FieldType::Boolean, 0});
    f.append({field::VoprRTF, FieldType::Blob, 0});
    f.append({field::VoprBMP, FieldType::Blob, 0});
    f.append({field::VoprStyle, FieldType::String, kVoprStyleSize});
    return f;
}

QList<FieldDef> templateFields() {
    QList<FieldDef> f = questionFields();
    for (FieldDef& d : f) {
        if (d.name == field::VoprStyle || d.name == field::TypeVopr) d.defaultValue = QStringLiteral("1");
        if (d.name == field::MaxOtv) d.defaultValue = QStringLiteral("4");
    }
    return f;
}

AnswerKind answerKind(const QString& typeVopr) {
    return typeVopr == QLatin1String("2") ? AnswerKind::Typed : AnswerKind::Choice;
}

int variantCount(const QString& maxOtv) {
    if (maxOtv.size() == 1 && maxOtv[0] >= QLatin1Char('1') && maxOtv[0] <= QLatin1Char('7'))
        return maxOtv[0].unicode() - '0';
    return kVariants;
}

QuestionStyle questionStyle(const QString& voprStyle) {
    if (voprStyle == QLatin1String("1")) return QuestionStyle::Text;
    if (voprStyle == QLatin1String("2")) return QuestionStyle::Rtf;
    if (voprStyle == QLatin1String("3")) return QuestionStyle::Picture;
    return QuestionStyle::Invalid;
}

namespace {
quint32 le32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | quint8(b[at + i]);
    return v;
}
quint16 le16(const QByteArray& b, int at) { return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
bool isBmp(const QByteArray& b) { return b.size() >= 14 && b[0] == 'B' && b[1] == 'M'; }
}  // namespace

QByteArray bitmapBytes(const QByteArray& blob) {
    if (isBmp(blob)) return blob;
    if (blob.size() >= 8 && le16(blob, 0) == 1 && le16(blob, 2) == 256 &&
        qint64(le32(blob, 4)) + 8 == blob.size()) {
        QByteArray rest = blob.mid(8);
        if (isBmp(rest)) return rest;
    }
    return {};
}

}  // namespace common
