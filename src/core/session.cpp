#include "core/session.h"

#include "core/database.h"

Session startSession(Database &db, const QString &login, const QString &workstation,
                     const QString &applicationName) {
    Session session{login, roleForLogin(login), workstation, &db};
    SqlParams settings{{"piecework.login_role", roleName(session.role)},
                       {"piecework.workstation", workstation}};
    if (!applicationName.isEmpty())
        settings.append({"application_name", applicationName});
    db.setSessionSettings(settings);
    return session;
}
