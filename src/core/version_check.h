#pragma once
// Guards the shared database against older builds of the program: the newest build that connects
// leaves its stamp in accounts_dep.ver, and an older one ends itself.
void CheckVersion();
