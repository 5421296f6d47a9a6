#include "core/session.h"

#include "core/database.h"

namespace {
Session started(Database &db, Session session, const QString &applicationName) {
    const QString &workstation = session.workstation;
    SqlParams settings{{"piecework.login_role", roleName(session.role)},
                       {"piecework.workstation", workstation}};
    if (!applicationName.isEmpty())
        settings.append({"application_name", applicationName});
    db.setSessionSettings(settings);
    return session;
}
} // namespace

Session startSession(Database &db, const QString &login, const QString &workstation,
                     const QString &applicationName) {
    return started(db, {login, roleForLogin(login), workstation, &db}, applicationName);
}

Session startPersonalSession(Database &db, const QString &account, Role role, const QString &workstation,
                             const QString &applicationName) {
    return started(db, {account, role, workstation, &db, true}, applicationName);
}

QString actorText(const Session &session) {
    const QString who =
        session.personalAccount ? roleName(session.role) + ' ' + session.login : roleName(session.role);
    return session.workstation.isEmpty() ? who : who + QStringLiteral(", ") + session.workstation;
}
