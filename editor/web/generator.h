#pragma once
// One generation of the web test of a test table: the head copied, then the frame and one
// block per question, each read from its record.
#include "editor/web/blocks.h"
#include "platform/db/table.h"
#include "platform/ui.h"

#include <QString>
#include <functional>

namespace korvel::web {

// What the program around the generation does at its steps.
struct Walk {
    // Once the head is there, before the questions are counted: ends the edit of the
    // current record; false stops the run. By default the table's own rule: a changed
    // record is posted, an unchanged edit dropped.
    std::function<bool()> leaveEdit;
    // With each record current, before it is read.
    std::function<void()> shown;
};

// Writes webTestName + ".HTML" in the current directory and the pictures beside it, from
// every record of table in its order; the table is left on the last one. False when the
// head was not copied (its messages have shown) or the edit was not left; a write error
// throws. Whatever stops the run, the page that stands is the old one (or none), never the
// head alone or a cut page.
bool GenerateWebTest(plat::db::Table& table, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName, const Walk& walk = {});

}  // namespace korvel::web
