#pragma once
// Every window of the program exists once, from start-up to the end of the run; windows reach
// each other through this registry.
#include <QStringList>

class TDataModule6;
class TForm1;
class TForm23;

struct Forms {
    TDataModule6 *DataModule6 = nullptr;
    TForm1 *Form1 = nullptr;
    TForm23 *Form23 = nullptr;
};

Forms &forms();

// Start-up: creates the main window (which connects and creates the login window) and then every
// other window in their fixed order. Returns false when the connection failed; the message has
// been shown and the end of the program requested.
bool createForms(const QStringList &positional);
void destroyForms();

// Connects the data module with the string built from the command-line arguments and creates the
// login window; on failure shows "Подключение к БД отсутсвует!!!" and requests the end.
bool ConnectDatabase(const QStringList &positional);
