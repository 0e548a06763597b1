#include "common/question.h"

#include "platform/dbctl/picture.h"

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
        if (d.name == field::VoprStyle || d.name == field::TypeVopr)
            d.defaultValue = QStringLiteral("1");
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

QByteArray bitmapBytes(const QByteArray& blob) { return plat::bitmapFromBlob(blob); }

}  // namespace common
