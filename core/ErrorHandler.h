#pragma once
// The application-wide error handler and the one helper every slot, event handler
// and timer callback runs inside, so that no exception crosses the Qt event loop.

#include <QString>
#include <exception>
#include <utility>

// The text the error box shows: the message, with "." appended when its last
// character's code is above that of "." and is not a full-width sentence end
// ("。", "．", "！", "？").
QString ErrorBoxText(const QString& message);

// Shows the error in the error box; a silent abort shows nothing.
void HandleException(std::exception_ptr error) noexcept;

// Runs `action`; whatever escapes it goes to the application-wide handler.
// Returns true when the action completed.
template <class Action>
bool RunGuarded(Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}
