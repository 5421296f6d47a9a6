#include "app/upgrade_command.h"

#include "core/connection_string.h"
#include "core/database.h"
#include "core/db_error.h"
#include "core/migrations.h"

#include <cstdio>

int upgradeDatabaseCommand(const QStringList &positional, int buildDate, int buildTime) {
    const ConnectionSettings settings = databaseSettings(positional, defaultSettingsFiles());
    auto say = [](const QString &text) { std::fprintf(stdout, "%s\n", text.toUtf8().constData()); };
    for (const QString &w : settingsWarnings(defaultSettingsFiles()))
        std::fprintf(stderr, "%s\n", w.toUtf8().constData());
    try {
        Database db("upgrade");
        db.connect(connectionString(settings));
        const QStringList applied = upgradeDatabase(db, buildStampText(buildDate, buildTime));
        if (applied.isEmpty())
            say(QStringLiteral("База данных уже обновлена: нечего применять (%1).")
                    .arg(settings.description()));
        for (const QString &name : applied)
            say(QStringLiteral("Применено: %1").arg(name));
        return 0;
    } catch (const DbError &e) {
        std::fprintf(stderr, "%s\n%s\n",
                     QStringLiteral("Обновление базы данных не выполнено (%1):")
                         .arg(settings.description())
                         .toUtf8()
                         .constData(),
                     e.text().toUtf8().constData());
        return 1;
    }
}
