#pragma once
// The program's settings files (/etc/piecework/piecework.conf, the user's own): "[section]" lines
// and "key = value" lines; "#" or ";" starts a comment line. A value is taken as written to the
// end of its line (blanks around it dropped), so that a password may hold ",", ";", "\", "#" or
// "="; one that needs blanks at its ends or a '"' of its own is written in double quotes, with \"
// for a quote and \\ for a backslash.
#include <QHash>
#include <QString>

using SettingsSection = QHash<QString, QString>;

// Every section of the text, keys as written.
QHash<QString, SettingsSection> parseSettings(const QString &text);

// One section of a file; empty when the file is missing or unreadable.
SettingsSection readSettingsSection(const QString &path, const QString &section);

// A warning when the file holds a password that other users of the machine can read (anyone, or
// the group of a file the user owns); empty otherwise.
QString passwordExposureWarning(const QString &path);
