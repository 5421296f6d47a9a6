#pragma once
// Keeps a window's controls disabled (and the window open) while long work lets the event loop
// turn to show its progress: no click or key can change what the work is reading meanwhile, or
// end it early with a partial result.
#include <QObject>
#include <QPointer>
#include <QWidget>

class WindowLock : public QObject {
public:
    explicit WindowLock(QWidget *window);
    ~WindowLock() override;
    WindowLock(const WindowLock &) = delete;
    WindowLock &operator=(const WindowLock &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> window_;
    bool wasEnabled_;
};
