#include "app/command_line.h"

#include "core/migrations.h"

#ifndef PIECEWORK_VERSION
#define PIECEWORK_VERSION "0"
#endif

std::optional<QString> informationRequested(const QStringList &arguments, int buildDate, int buildTime) {
    if (arguments.contains(QStringLiteral("--version")))
        return QStringLiteral("piecework %1 (сборка %2)\n")
            .arg(QStringLiteral(PIECEWORK_VERSION), buildStampText(buildDate, buildTime));
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
        return QStringLiteral(
            "Использование: piecework [БАЗА СЕРВЕР]\n"
            "               piecework --upgrade-database [БАЗА СЕРВЕР]\n"
            "               piecework --help | --version\n"
            "\n"
            "Сдельная работа: записи смен, табель и отчеты производственного отдела.\n"
            "\n"
            "  БАЗА СЕРВЕР          база данных и адрес сервера PostgreSQL; без них - из файлов\n"
            "                       /etc/piecework/piecework.conf и ~/.config/piecework/piecework.conf\n"
            "  --upgrade-database   применить недостающие обновления базы данных и выйти\n"
            "  --help               показать эту справку и выйти\n"
            "  --version            показать версию и сборку программы и выйти\n");
    return std::nullopt;
}
