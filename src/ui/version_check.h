#pragma once
// Guards the shared database against older builds of the program: the newest build that connects
// leaves its stamp in accounts_dep.ver, and an older one ends itself.
#include <functional>

void CheckVersion();

// What the windows do around a check; start-up fills these in (core knows no window).
struct VersionCheckHooks {
    std::function<void(int date, int time)> stampTaken; // the build stamp the check compared
    std::function<void()> newerFound;                   // a newer build has connected: end soon
};
void setVersionCheckHooks(VersionCheckHooks hooks);
