// Program entry: creates every window once, connects, and hands over to the login window.
#include "app/interface_language.h"
#include "app/startup.h"
#include "app/upgrade_command.h"
#include "core/forms.h"
#include "core/guard.h"
#include "core/seams.h"

#include <QApplication>
#include <clocale>

int programBuildDate();
int programBuildTime();

int main(int argc, char *argv[]) {
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
