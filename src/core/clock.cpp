#include "core/clock.h"

#include <QCoreApplication>

namespace {
std::function<QDateTime()> g_clock;
std::function<void()> g_terminator;
int g_buildDate = 0;
int g_buildTime = 0;
bool g_terminated = false;
} // namespace

namespace seams {
void setClock(std::function<QDateTime()> clock) {
    g_clock = std::move(clock);
}
void setBuildStamp(int date, int time) {
    g_buildDate = date;
    g_buildTime = time;
}
void setTerminator(std::function<void()> terminator) {
    g_terminator = std::move(terminator);
}
void clearTerminationRequest() {
    g_terminated = false;
}
} // namespace seams

QDateTime now() {
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}
QDate today() {
    return now().date();
}

int buildDate() {
    return g_buildDate;
}
int buildTime() {
    return g_buildTime;
}

void requestTermination() {
    g_terminated = true;
    if (g_terminator)
        g_terminator();
    else
        QCoreApplication::exit(0);
}

bool terminationRequested() {
    return g_terminated;
}
