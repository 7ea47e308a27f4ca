#pragma once
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

namespace tintora {

// Shows the text of an error that escaped a handler, as the application's
// default error report: a message box, and the window stays usable.
void reportError(const std::exception& e);

// Runs a handler where Qt calls our code, so that no exception crosses a Qt frame.
template <class F> void guarded(F&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportError(std::runtime_error("Unknown error"));
    }
}

// Fires an event (a std::function) if it is set, inside the guard.
template <class Event, class... Args> void fire(const Event& event, Args&&... args)
{
    if (event)
        event(std::forward<Args>(args)...);
}

} // namespace tintora
