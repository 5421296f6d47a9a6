// Program entry: creates every window once, connects, and hands over to the login window.
#include "app/command_line.h"
#include "app/interface_language.h"
#include "app/startup.h"
#include "app/upgrade_command.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QApplication>
#include <clocale>
#include <cstdio>

int programBuildDate();
int programBuildTime();

int main(int argc, char *argv[]) {
    // Help and version need no window, no display and no database.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> text =
            informationRequested(arguments, programBuildDate(), programBuildTime())) {
        std::fputs(text->toUtf8().constData(), stdout);
        return 0;
    }
    // The upgrade of the database is a command for an administrator's terminal: no windows.
    if (argc > 1 && QByteArray(argv[1]) == "--upgrade-database") {
        QCoreApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return upgradeDatabaseCommand(app.arguments().mid(2), programBuildDate(), programBuildTime());
    }
    QApplication app(argc, argv);
    // Workbook and number formatting in the C library must not follow a Russian locale.
    std::setlocale(LC_NUMERIC, "C");
    useRussianInterface(app);
    app.setQuitOnLastWindowClosed(false);
    seams::setBuildStamp(programBuildDate(), programBuildTime());

    int rc = 0;
    runGuarded([&] {
        QStringList positional = app.arguments().mid(1);
        if (!createForms(positional)) {
            rc = 1;
            return;
        }
        if (!terminationRequested())
            rc = app.exec();
    });
    destroyForms();
    return rc;
}
