#include "ui/window_lock.h"

#include <QEvent>

WindowLock::WindowLock(QWidget *window) : window_(window), wasEnabled_(window->isEnabled()) {
    window->setEnabled(false);
    window->installEventFilter(this);
}

WindowLock::~WindowLock() {
    if (!window_)
        return;
    window_->removeEventFilter(this);
    window_->setEnabled(wasEnabled_);
}

bool WindowLock::eventFilter(QObject *watched, QEvent *event) {
    // The window's close button still reaches a disabled window: it waits for the work too.
    if (watched == window_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
