#pragma once
// What the program takes from its surroundings besides the database, which tests replace: the
// clock, the build stamp and the end of the program. Each has the real behaviour as default.
#include <QDateTime>
#include <functional>

namespace seams {
void setClock(std::function<QDateTime()> clock);
void setBuildStamp(int date, int time);
void setTerminator(std::function<void()> terminator);
// Forgets an earlier request to end, so that a test can go on.
void clearTerminationRequest();
} // namespace seams

QDate today();
QDateTime now();

int buildDate();
int buildTime();

// Ends the program: every running event loop stops.
void requestTermination();
bool terminationRequested();
