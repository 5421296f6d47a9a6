#pragma once
// Start-up: the data module and its connection, the login window, and every other window in its
// fixed order, wired to each other.
#include <QStringList>

// Creates the main window, connects (creating the login window) and then every other window.
// Returns false when the connection failed; the message has been shown and the end of the
// program requested.
bool createForms(const QStringList &positional);
void destroyForms();

// Connects the data module with the string built from the command-line arguments and creates the
// login window; on failure shows "Подключение к БД отсутсвует!!!" and requests the end.
bool ConnectDatabase(const QStringList &positional);
