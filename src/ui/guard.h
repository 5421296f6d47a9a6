#pragma once
// The application's top-level error handler. Every user action (button, menu, double-click,
// timer) runs through it, so no exception crosses a Qt frame: the error text is shown in a
// message box and the event loop goes on.
#include <QList>
#include <functional>
#include <utility>

void runGuarded(const std::function<void()> &action);

class Dataset;
// Runs work that rewrites what the views show (a month rebuild), then opens the views again. A
// read that fails after the work succeeded says the work is done and the list is not refreshed,
// rather than leave an empty grid without a word; a failed work leaves its month as it was, so
// the views show it again where they can, and its error goes on to the user.
void runThenReopen(const QList<Dataset *> &views, const std::function<void()> &work);

// Runs what follows a committed write (its list read again). When the connection is lost there,
// the user is told that the write is saved and the list is not refreshed, and the action goes on;
// false then.
bool refreshAfterSaved(const std::function<void()> &refresh);

// Wraps a slot body: connect(button, &QPushButton::clicked, this, guarded([this] { ... }));
template <class F> auto guarded(F f) {
    return [f = std::move(f)](auto &&...) { runGuarded(f); };
}
