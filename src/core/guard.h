#pragma once
// The application's top-level error handler. Every user action (button, menu, double-click,
// timer) runs through it, so no exception crosses a Qt frame: the error text is shown in a
// message box and the event loop goes on.
#include <functional>
#include <utility>

void runGuarded(const std::function<void()> &action);

// Runs what follows a committed write (its list read again). When the connection is lost there,
// the user is told that the write is saved and the list is not refreshed, and the action goes on;
// false then.
bool refreshAfterSaved(const std::function<void()> &refresh);

// Wraps a slot body: connect(button, &QPushButton::clicked, this, guarded([this] { ... }));
template <class F> auto guarded(F f) {
    return [f = std::move(f)](auto &&...) { runGuarded(f); };
}
