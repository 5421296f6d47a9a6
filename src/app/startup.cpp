#include "app/startup.h"

#include "app/accounts_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "core/connection_string.h"
#include "core/db_error.h"
#include "core/migrations.h"
#include "refbooks/group_editor.h"
#include "refbooks/groups_list.h"
#include "refbooks/product_editor.h"
#include "refbooks/products_list.h"
#include "refbooks/worker_card.h"
#include "refbooks/workers_list.h"
#include "reports/change_history_window.h"
#include "reports/summary_reports_window.h"
#include "shift/norms_window.h"
#include "shift/operation_price_editor.h"
#include "shift/operation_type_editor.h"
#include "shift/operation_types_list.h"
#include "shift/price_list.h"
#include "shift/shift_lists.h"
#include "shift/shift_record_editor.h"
#include "timesheet/household_entry_editor.h"
#include "timesheet/household_work_list.h"
#include "timesheet/month_closing_window.h"
#include "timesheet/monthly_timesheet.h"
#include "timesheet/shift_timesheets.h"
#include "timesheet/timesheet_by_time.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/seams.h"
#include "ui/version_check.h"

#include <QTimer>
#include <cstdio>

void prepareStatements(TDataModule6 &dm) {
    prepareShiftLists(dm);
    prepareShiftTimesheets(dm);
}

bool ConnectDatabase(const QStringList &positional) {
    Forms &f = forms();
    f.keepDataModule(new TDataModule6);
    prepareStatements(*f.DataModule6);
    const QStringList files = defaultSettingsFiles();
    const ConnectionSettings settings = databaseSettings(positional, files);
    const QStringList warnings = settingsWarnings(files);
    for (const QString &w : warnings)
        std::fprintf(stderr, "%s\n", w.toUtf8().constData());
    f.DataModule6->reportsConnectionString = connectionString(reportsSettings(positional, files));
    f.DataModule6->startSettings = settings;
    f.DataModule6->reportsStartSettings = reportsSettings(positional, files);
    f.DataModule6->personalAccounts = personalAccountsOn(files);
    try {
        f.DataModule6->ADO_DB.connect(connectionString(settings));
        // Found now rather than as a driver error in the middle of some later action.
        f.DataModule6->pendingUpgrade = migrationNames(missingMigrations(f.DataModule6->ADO_DB));
        if (!f.DataModule6->pendingUpgrade.isEmpty())
            showError(upgradeNeededMessage(f.DataModule6->pendingUpgrade), QStringLiteral("Ошибка"));
        f.Form23 = f.keep(new TForm23);
    } catch (const DbError &) {
        // Which server and database were tried, so that an administrator can tell a wrong
        // setting from a server that is down; never the password.
        QString text = QStringLiteral("Подключение к БД отсутсвует!!!\n\n") + settings.description();
        if (!warnings.isEmpty())
            text += QStringLiteral("\n\n") + warnings.join('\n');
        showError(text, QStringLiteral("Ошибка!"));
        requestTermination();
        return false;
    }
    return true;
}

bool createForms(const QStringList &positional) {
    Forms &f = forms();
    setVersionCheckHooks({[](int date, int time) {
                              if (TForm1 *main = forms().Form1) {
                                  main->BuildDate = date;
                                  main->BuildTime = time;
                              }
                          },
                          [] {
                              if (TForm23 *login = forms().Form23)
                                  login->Timer1->start();
                          }});
    TForm1 *main = f.Form1 = f.keep(new TForm1);
    if (!ConnectDatabase(positional)) {
        main->close();
        return false;
    }
    main->openShiftLists();
    // Every other window, once, in the fixed order; the rest join as they are built.
    f.Form2 = f.keep(new TForm2);
    f.Form3 = f.keep(new TForm3);
    f.Form4 = f.keep(new TForm4);
    f.Form5 = f.keep(new TForm5);
    f.Form7 = f.keep(new TForm7);
    f.Form8 = f.keep(new TForm8);
    f.Form9 = f.keep(new TForm9);
    f.Form10 = f.keep(new TForm10);
    f.Form11 = f.keep(new TForm11);
    f.Form18 = f.keep(new TForm18);
    f.Form19 = f.keep(new TForm19);
    f.Form22 = f.keep(new TForm22);
    f.Form26 = f.keep(new TForm26);
    f.Form29 = f.keep(new TForm29);
    f.Form25 = f.keep(new TForm25);
    f.Form24 = f.keep(new TForm24);
    f.Form27 = f.keep(new TForm27);
    f.MonthClosing = f.keep(new MonthClosingWindow);
    f.ChangeHistory = f.keep(new ChangeHistoryWindow);
    f.Accounts = f.keep(new AccountsWindow);
    return true;
}

void destroyForms() {
    forms().destroyAll();
}
