#include "app/accounts_window.h"

#include "core/roles.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QString accountsSql() {
    QStringList cases;
    for (const auto &[group, role] : programGroups())
        cases << QString("when '%1' then '%2'").arg(group, roleName(role));
    return "select account, full_name, account_role, case account_role " + cases.join(' ') +
           " end as role_name, case when enabled then 'да' else 'нет' end as enabled_text, enabled, "
           "to_char(valid_until, 'DD.MM.YYYY') as valid_until from accounts_dep.accounts()";
}

constexpr int kShortestPassword = 8;
} // namespace

AccountEditor::AccountEditor(QWidget *parent) : QDialog(parent) {
    setObjectName("AccountEditor");
    auto *layout = new QVBoxLayout(this);
    auto *group = boldGroupBox("Учётная запись", this);
    auto *form = new QFormLayout(group);
    EditName = new QLineEdit(group);
    EditName->setObjectName("EditName");
    EditName->setMaxLength(63);
    EditFullName = new QLineEdit(group);
    EditFullName->setObjectName("EditFullName");
    EditFullName->setMaxLength(200);
    ComboRole = new QComboBox(group);
    ComboRole->setObjectName("ComboRole");
    for (const auto &[name, role] : programGroups())
        ComboRole->addItem(roleName(role), name);
    EditPassword = new QLineEdit(group);
    EditPassword->setObjectName("EditPassword");
    EditPassword->setEchoMode(QLineEdit::Password);
    EditRepeat = new QLineEdit(group);
    EditRepeat->setObjectName("EditRepeat");
    EditRepeat->setEchoMode(QLineEdit::Password);
    form->addRow("Имя для входа", EditName);
    form->addRow("ФИО", EditFullName);
    form->addRow("Роль", ComboRole);
    form->addRow("Пароль", EditPassword);
    form->addRow("Пароль ещё раз", EditRepeat);
    layout->addWidget(group);
    const SaveCancelRow buttons = addSaveCancelRow(this, layout, "Записать", "Отмена");
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

void AccountEditor::prepare(Mode mode, const Dataset *account) {
    mode_ = mode;
    account_ = account ? account->text("account") : QString();
    group_ = account ? account->text("account_role") : QString();
    fullName_ = account ? account->text("full_name").trimmed() : QString();
    EditName->setText(account_);
    EditName->setEnabled(mode == Add);
    EditFullName->setText(account ? account->text("full_name") : QString());
    EditFullName->setEnabled(mode != Password);
    const int at = ComboRole->findData(account ? group_ : QStringLiteral("piecework_foreman"));
    ComboRole->setCurrentIndex(at < 0 ? 0 : at);
    ComboRole->setEnabled(mode != Password);
    EditPassword->clear();
    EditRepeat->clear();
    EditPassword->setEnabled(mode != Change);
    EditRepeat->setEnabled(mode != Change);
    setWindowTitle(mode == Add      ? "Новая учётная запись"
                   : mode == Change ? "Изменение учётной записи " + account_
                                    : "Пароль учётной записи " + account_);
}

void AccountEditor::Button1Click() {
    const QString name = EditName->text().trimmed();
    if (name.isEmpty()) {
        showError("Введите имя для входа.", "Ошибка");
        return;
    }
    if (mode_ != Change) {
        if (EditPassword->text().size() < kShortestPassword) {
            showError(QString("Пароль должен быть не короче %1 знаков").arg(kShortestPassword), "Ошибка");
            return;
        }
        if (EditPassword->text() != EditRepeat->text()) {
            showError("Пароли не совпадают.", "Ошибка");
            return;
        }
    }
    Database &db = forms().DataModule6->ADO_DB;
    const QString group = ComboRole->currentData().toString();
    // The password goes to the server as a bound parameter only, and leaves the fields once saved.
    const QString password = EditPassword->text();
    if (mode_ == Add) {
        db.run("select accounts_dep.add_account(:a, :f, :g, :p)",
               {{"a", name}, {"f", EditFullName->text().trimmed()}, {"g", group}, {"p", password}});
    } else if (mode_ == Password) {
        db.run("select accounts_dep.set_account_password(:a, :p)", {{"a", account_}, {"p", password}});
    } else {
        // Only what the user changed is written.
        const QString fullName = EditFullName->text().trimmed();
        Transaction tx(db);
        if (fullName != fullName_)
            db.run("select accounts_dep.set_account_full_name(:a, :f)", {{"a", account_}, {"f", fullName}});
        if (group != group_)
            db.run("select accounts_dep.set_account_group(:a, :g)", {{"a", account_}, {"g", group}});
        tx.commit();
    }
    EditPassword->clear();
    EditRepeat->clear();
    accept();
}

AccountsWindow::AccountsWindow(QWidget *parent)
    : QDialog(parent), accounts(forms().DataModule6->ADO_DB, "accounts"), editor(new AccountEditor(this)) {
    setObjectName("Accounts");
    setWindowTitle("Пользователи");
    accounts.setSql({accountsSql()});
    auto *layout = new QVBoxLayout(this);
    DBGrid1 = newRowGrid(this, "DBGrid1");
    useOfficeGridFont(DBGrid1);
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    model_ = new DatasetModel(&accounts,
                              {{"account", "Имя для входа", 140, left},
                               {"full_name", "ФИО", 220, left},
                               {"role_name", "Роль", 120, left},
                               {"enabled_text", "Включена", 70, Qt::AlignCenter},
                               {"valid_until", "Пароль до", 90, Qt::AlignCenter}},
                              this);
    model_->attach(DBGrid1);
    layout->addWidget(DBGrid1, 1);
    auto *bottom = new QHBoxLayout;
    Button1 = addPanelButton(this, bottom, "Button1", "Добавить");
    Button2 = addPanelButton(this, bottom, "Button2", "Изменить");
    Button3 = addPanelButton(this, bottom, "Button3", "Пароль");
    Button5 = addPanelButton(this, bottom, "Button5", "Отключить");
    bottom->addStretch(1);
    Button4 = addPanelButton(this, bottom, "Button4", "Выход");
    layout->addLayout(bottom);
    resize(720, 420);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    // The disable button says what it will do to the chosen account, whatever chose it.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showEnabledCaption(); });
}

void AccountsWindow::launch() {
    accounts.close();
    accounts.open();
    showEnabledCaption();
    showModal(this);
    accounts.close();
}

void AccountsWindow::refresh() {
    accounts.reopenKeepingPlace();
    showEnabledCaption();
}

void AccountsWindow::showEnabledCaption() {
    const bool disabled = accounts.isOpen() && !accounts.isEmpty() && !accounts.value("enabled").toBool();
    Button5->setText(disabled ? "Включить" : "Отключить");
}

void AccountsWindow::edit(AccountEditor::Mode mode) {
    if (mode != AccountEditor::Add && accounts.isEmpty())
        return;
    editor->prepare(mode, mode == AccountEditor::Add ? nullptr : &accounts);
    if (showModal(editor) == QDialog::Accepted)
        refreshAfterSaved([this] { refresh(); });
}

void AccountsWindow::Button1Click() {
    edit(AccountEditor::Add);
}

void AccountsWindow::Button2Click() {
    edit(AccountEditor::Change);
}

void AccountsWindow::Button3Click() {
    edit(AccountEditor::Password);
}

void AccountsWindow::Button5Click() {
    if (accounts.isEmpty())
        return;
    const QString account = accounts.text("account");
    const bool enable = !accounts.value("enabled").toBool();
    const QString question =
        enable ? QString("Включить учётную запись %1?").arg(account)
               : QString("Отключить учётную запись %1? Войти под ней будет нельзя.").arg(account);
    if (!askYesNo(question, "Пользователи"))
        return;
    forms().DataModule6->ADO_DB.run("select accounts_dep.set_account_enabled(:a, :e)",
                                    {{"a", account}, {"e", enable}});
    refreshAfterSaved([this] { refresh(); });
}
