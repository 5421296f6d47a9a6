#include "core/connection_string.h"
#include "core/data_module.h"
#include "core/db_error.h"
#include "core/forms.h"
#include "core/login_window.h"
#include "core/seams.h"
#include "shift/main_window.h"

Forms &forms() {
    static Forms f;
    return f;
}

static QStringList g_positional;

bool ConnectDatabase(const QStringList &positional) {
    Forms &f = forms();
    f.DataModule6 = new TDataModule6;
    try {
        f.DataModule6->ADO_DB.connect(buildConnectionString(positional));
        f.Form23 = new TForm23;
    } catch (const DbError &) {
        showError(QStringLiteral("Подключение к БД отсутсвует!!!"), QStringLiteral("Ошибка!"));
        requestTermination();
        return false;
    }
    return true;
}

bool createForms(const QStringList &positional) {
    g_positional = positional;
    auto *main = new TForm1(positional);
    if (!forms().Form23) {
        main->close();
        return false;
    }
    // The windows of the other subsystems are created here, in their fixed order.
    return true;
}

void destroyForms() {
    Forms &f = forms();
    delete f.Form23;
    delete f.Form1;
    delete f.DataModule6;
    f = Forms{};
}
