#pragma once
// The client's pure rules: the answer check and the commands each mode offers.
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

// The learner's commands the window shows.
struct Commands {
    bool check = false;   // Button4, the training check
    bool next = false;    // Button3, the next question of a run
    bool start = false;   // button5, a graded run
    bool load = false;    // btLoadTest, another test
    bool browse = false;  // DBNavigator1
    bool operator==(const Commands&) const = default;
};
// Training offers all but the run's next step, the check only when the test does not lock
// it; a graded run offers its next step alone.
Commands CommandsFor(bool graded, bool checkLocked);

}  // namespace pandrel
