#pragma once

#include <utility>

// The guard at every dispatch boundary: no error may cross Qt's event loop.
// Clicks, pointer notices, creation handlers and timer ticks run through Guarded(); an error
// leaving the handler is shown in the standard error box and the program carries on.
namespace Dispatch {

// Shows the error that is being handled (called from inside a catch block).
void ReportCurrentError() noexcept;

template <class Handler> void Guarded(Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportCurrentError();
    }
}

} // namespace Dispatch
