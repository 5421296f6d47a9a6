#pragma once
// The login text decides the user's role for the whole run.
#include <QList>
#include <QPair>
#include <QString>

enum class Role { None, ReportReader, Foreman, Warehouse, Administrator };

// The text is compared exactly (case-sensitive) after trimming blanks.
Role roleForLogin(const QString &loginText);
// The role as the change history names it: "Отчеты", "Мастер", "Склад", "Администратор".
QString roleName(Role role);

// Who did something, as the change history and the closed months keep it: the role and the
// workstation, never the login text (which is the credential itself).
QString actorText(Role role, const QString &workstation);
// The database's group role of each role, in the order an administrator is offered them.
const QList<QPair<QString, Role>> &programGroups();
// The role of a personal account's group role ("piecework_foreman"); None for any other.
Role roleForGroup(const QString &groupRole);
// A stored name as it is shown: a login text kept by an older build is shown as its role.
QString shownActor(const QString &stored);
