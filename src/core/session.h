#pragma once
// Who works on a connection: the login, its role and the workstation. The login window, the load
// run and the tests start it through the one function below.
#include "core/roles.h"

#include <QString>

class Database;

struct Session {
    QString login; // the login text (the credential, never stored), or the person's account
    Role role = Role::None;
    QString workstation;
    Database *db = nullptr;
    bool personalAccount = false; // login names a person's own account, not a shared text
};

// Who did something, as the closed months keep it: the role (and a person's account) and the
// workstation; never a shared login text.
QString actorText(const Session &session);

// Starts the session on db for a login whose role is known: from now on, and again after every
// reconnect, the change history names the role and the workstation (never the login text).
// applicationName, when given, names the session in the server's activity list.
Session startSession(Database &db, const QString &login, const QString &workstation,
                     const QString &applicationName = {});
// The same for a person's own account, whose role the database gave.
Session startPersonalSession(Database &db, const QString &account, Role role, const QString &workstation,
                             const QString &applicationName = {});
