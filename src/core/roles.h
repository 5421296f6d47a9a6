#pragma once
// The login text decides the user's role for the whole run.
#include <QString>

enum class Role { None, ReportReader, Foreman, Warehouse, Administrator };

// The text is compared exactly (case-sensitive) after trimming blanks.
Role roleForLogin(const QString &loginText);
// The role as the change history names it: "Отчеты", "Мастер", "Склад", "Администратор".
QString roleName(Role role);
