#pragma once
// The client module's state, shared by the window's handlers. A test makes a fresh one.
#include "client/run/graded.h"

#include <QString>

namespace pandrel {

// The run state (clock counters, GradedMode, AnswerMarks, ...) and what the opening sets.
struct ClientState : RunState {
    // The rich-text and picture question area is enlarged.
    bool QuestionExpanded = false;
    // Record count of the open test, taken at each successful opening.
    int QuestionCount = 0;
    // The open test hides the training answer check (first record's Otv7 is "&1").
    bool CheckLocked = false;
};

// Module start, before any window exists: resets the state, creates "C:\Test" and makes it
// the database session's network control directory.
void ClientUnitInit(ClientState& s);
// Module end.
void ClientUnitFinal(ClientState& s);

}  // namespace pandrel
