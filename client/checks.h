#pragma once
// The client's pure rules: the answer check.
#include <QString>
#include <array>
#include <optional>

namespace pandrel {

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
