#pragma once
// The client's pure rules: the test-choice path check and the answer check.
#include <QChar>
#include <QString>
#include <array>
#include <optional>

namespace pandrel {

inline const QString kBadFileName = QStringLiteral("недопустимое имя файла формата PARADOX");
inline const QString kBadAlias = QStringLiteral("bad aliase");

// The outcome of checking the path chosen in the open dialog.
struct TestPath {
    QString message;    // empty when accepted, else the text to show before asking again
    QString tableName;  // the file name, as chosen
    QString folder;     // the path without its last separator and name ("C:" for a root file)
    bool accepted() const { return message.isEmpty(); }
};

// sep is the platform's path separator (plat::fs::separator()); a parameter so the
// Windows form of the rule can be checked anywhere.
TestPath CheckTestPath(const QString& path, QChar sep);

// What the answer check reads of the current record and of the learner's inputs.
struct AnswerOnScreen {
    QString TypeVopr;
    QString MaxOtv;
    QString Otv1;
    std::array<std::optional<bool>, 7> RO{};  // nullopt: the flag is empty
    std::array<bool, 7> ticked{};             // CheckBox1..CheckBox7
    QString typed;                            // Edit1
};

// True when the answer on screen is right for the record.
bool IsAnswerCorrect(const AnswerOnScreen& a);

}  // namespace pandrel
