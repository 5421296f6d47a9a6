#pragma once
// What the program answers on its command line without a window or a connection: --help and
// --version.
#include <QString>
#include <QStringList>
#include <optional>

// The text to print and exit with, when the arguments ask for it.
std::optional<QString> informationRequested(const QStringList &arguments, int buildDate, int buildTime);
