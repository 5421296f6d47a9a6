#pragma once
// Start-up: the data module and its connection, the login window, and every other window in its
// fixed order, wired to each other.
#include <QStringList>

class TDataModule6;

// Creates the main window, connects (creating the login window) and then every other window.
// Returns false when the connection failed; the message has been shown and the end of the
// program requested.
bool createForms(const QStringList &positional);
void destroyForms();

// Connects the data module with the string built from the command-line arguments and creates the
// login window; on failure shows "Подключение к БД отсутсвует!!!" and requests the end.
bool ConnectDatabase(const QStringList &positional);

// Gives a data module the statements of the lists its rooms share (the day sheet's shift lists,
// the shift timesheets); every data module is made ready through here.
void prepareStatements(TDataModule6 &dm);
