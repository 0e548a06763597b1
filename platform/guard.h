#pragma once
// Every event handler runs inside guarded(): a failure of the layer ends the handler in the
// standard error box; nothing escapes into Qt's event loop.
#include "errors.h"
#include "ui.h"

#include <exception>
#include <utility>

namespace plat {

// Returns true when f ran to its end.
template <class F>
bool guarded(UiServices& ui, F&& f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (const LayerError& e) {
        ui.standardError(e.text());
    } catch (const std::exception& e) {
        ui.standardError(QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace plat
