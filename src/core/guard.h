#pragma once
// The application's top-level error handler. Every user action (button, menu, double-click,
// timer) runs through it, so no exception crosses a Qt frame: the error text is shown in a
// message box and the event loop goes on.
#include <functional>
#include <utility>

void runGuarded(const std::function<void()> &action);

// Wraps a slot body: connect(button, &QPushButton::clicked, this, guarded([this] { ... }));
template <class F> auto guarded(F f) {
    return [f = std::move(f)](auto &&...) { runGuarded(f); };
}
