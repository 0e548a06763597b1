#pragma once
// The open dialog loop of Choose and Import: it asks until a test file is accepted, and lets
// the author leave.
#include "platform/ui.h"

#include <QString>
#include <functional>
#include <optional>

namespace korvel {

// Why a chosen path is refused (the message shown before the dialog opens again), or nothing.
using TestFileRefusal = std::function<std::optional<QString>(const QString& path)>;

// Shows the open dialog until a path passes refusal; the path comes with native separators.
// A Cancel gets "необходимо выбрать тест !!!" and the dialog again; a Cancel right after that
// message is the author's answer to it and leaves with nullopt, so the dialog is never a trap.
std::optional<QString> AskForTestFile(plat::UiServices& ui, const plat::FileDialogSpec& spec,
                                      const TestFileRefusal& refusal);

}  // namespace korvel
