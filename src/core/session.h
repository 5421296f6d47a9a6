#pragma once
// Who works on a connection: the login, its role and the workstation. The login window, the load
// run and the tests start it through the one function below.
#include "core/roles.h"

#include <QString>

class Database;

struct Session {
    QString login; // the login text: the credential, never stored in the database
    Role role = Role::None;
    QString workstation;
    Database *db = nullptr;
};

// Starts the session on db for a login whose role is known: from now on, and again after every
// reconnect, the change history names the role and the workstation (never the login text).
// applicationName, when given, names the session in the server's activity list.
Session startSession(Database &db, const QString &login, const QString &workstation,
                     const QString &applicationName = {});
