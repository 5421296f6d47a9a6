#include "workstation.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "core/connection_string.h"
#include "core/dataset.h"
#include "core/formatting.h"
#include "core/roles.h"
#include "core/session.h"
#include "shift/shift_record_editor.h"
#include "timesheet/closed_months.h"
#include "timesheet/household_entry_editor.h"
#include "timesheet/household_work_list.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QThread>

namespace soak {

namespace {

// The program's message boxes as the workstation sees them: the errors are its answer, and
// every question ("Удалить позицию из списка?") is answered Yes.
struct AnsweringMessages : seams::Messages {
    QString lastError;
    // All of an action's messages: a save can be followed by a failed read of the list.
    void error(const QString &text, const QString &) override {
        lastError = lastError.isEmpty() ? text : lastError + " | " + text;
    }
    bool yesNo(const QString &, const QString &) override { return true; }
};

AnsweringMessages &messages() {
    static AnsweringMessages m;
    return m;
}

// What the next modal window does instead of waiting for a user.
std::function<int(QDialog *)> &nextModal() {
    static std::function<int(QDialog *)> script;
    return script;
}

// The action proper starts: what the program said while the window was brought to its day (a
// list that could not be read) is not the action's answer.
void startAct() {
    messages().lastError.clear();
}

TDataModule6 &dm() {
    return *forms().DataModule6;
}

const QStringList kShiftFields{"w_id",   "i_id", "o_id", "data", "smena",
                               "kol_vo", "brak", "time", "ok",   "color"};
const QStringList kEntryFields{"id_p", "id_o", "id_nom", "d_date", "cnt", "i_night", "price"};

QJsonValue jsonOf(const QVariant &v) {
    if (v.isNull())
        return QJsonValue();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString().trimmed();
}

} // namespace

QString monthFingerprint(const QDate &month) {
    const QString first = month.toString(Qt::ISODate), next = month.addMonths(1).toString(Qt::ISODate);
    return dm()
        .lookup(
            QString("select md5(coalesce((select string_agg(s::text, '|' order by s.id) from "
                    "accounts_dep.smena s where s.data >= '%1' and s.data < '%2'), '') || '#' || "
                    "coalesce((select string_agg(f::text, '|' order by f.id) from accounts_dep.fatigue f "
                    "where f.i_year = %3 and f.i_mnth = %4), '') || '#' || coalesce((select "
                    "string_agg(h::text, '|' order by h.id) from accounts_dep.h_tabel h where h.year = %3 "
                    "and h.month = %4), '')) as f")
                .arg(first, next)
                .arg(month.year())
                .arg(month.month()),
            "f")
        .toString();
}

qint64 lastHistoryId() {
    return dm().lookup("select coalesce(max(id), 0) as n from accounts_dep.change_history", "n").toLongLong();
}

Workstation::Workstation(const Plan &plan, int index)
    : plan_(plan), index_(index), name_(workstationName(index)), login_(workstationLogin(index)),
      rng_(plan.seed * 1000u + quint32(index)) {}

bool Workstation::start() {
    log_.setFileName(plan_.logPath(index_));
    if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    seams::setMessages(&messages());
    seams::setModalRunner([](QDialog *d) {
        auto script = std::move(nextModal());
        nextModal() = nullptr;
        return script ? script(d) : int(QDialog::Rejected);
    });
    const QDate today = plan_.today;
    seams::setClock([today] { return QDateTime(today, QTime(10, 0)); });
    seams::setBuildStamp(20240101, 3600);
    if (!createForms({plan_.database, plan_.host}))
        return false;
    // What the login window does for a user, with the workstation named as a machine would be.
    TForm1 &main = *forms().Form1;
    for (int n = 1; n <= 4; ++n)
        dm().shiftQuery(n).setParam("ok", QStringLiteral("ta"));
    if (plan_.personal) {
        // As the login window does with personal accounts: the connection opened as the person.
        ConnectionSettings person = dm().startSettings;
        person.user = workstationAccount(index_);
        person.password = workstationPassword(index_);
        dm().ADO_DB.connect(connectionString(person));
        main.session = startPersonalSession(dm().ADO_DB, person.user, Role::Administrator, name_, name_);
    } else {
        main.session = startSession(dm().ADO_DB, login_, name_, name_);
    }
    return true;
}

bool Workstation::run() {
    if (!start())
        return false;
    // Every workstation starts working at the same moment, once all of them are up: twenty
    // programs starting at once would otherwise weigh on the first saves.
    const qint64 wait = plan_.startMs - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(static_cast<unsigned long>(wait));
    for (int n = 0; plan_.maxActions == 0 || n < plan_.maxActions; ++n) {
        // The pause comes first, so that the workstations do not all act at the same moment.
        QThread::msleep(rng_.bounded(2 * plan_.thinkMs + 1));
        if (QDateTime::currentMSecsSinceEpoch() >= plan_.endMs)
            break;
        if (!onMonthSchedule())
            act();
    }
    // The closed month is always open again at the end.
    if (closed_ && !reopened_) {
        while (!reopened_) {
            onMonthSchedule();
            QThread::msleep(200);
        }
    }
    return true;
}

bool Workstation::onMonthSchedule() {
    if (index_ != 0)
        return false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QDate month = plan_.lastMonth();
    if (!closed_ && now >= plan_.closeAtMs) {
        perform("month.close", [&](Action &a) {
            a.extra["month"] = month.toString("yyyy-MM");
            closeMonth(dm().ADO_DB, month.month(), month.year(), actorText(Role::Administrator, name_));
            closed_ = true;
            // Taken once the close took effect: nothing of the month may change from here on.
            a.extra["fingerprint"] = monthFingerprint(month);
            a.extra["history_id"] = QString::number(lastHistoryId());
            return true;
        });
        return true;
    }
    if (closed_ && !reopened_ && (now >= plan_.reopenAtMs || now >= plan_.endMs)) {
        perform("month.reopen", [&](Action &a) {
            a.extra["month"] = month.toString("yyyy-MM");
            a.extra["fingerprint"] = monthFingerprint(month);
            a.extra["history_id"] = QString::number(lastHistoryId());
            reopenMonth(dm().ADO_DB, month.month(), month.year());
            reopened_ = true;
            return true;
        });
        return true;
    }
    return false;
}

void Workstation::act() {
    const int roll = rng_.bounded(100);
    if (roll < 28)
        perform("shift.add", [this](Action &a) { return addShiftRecord(a); });
    else if (roll < 50)
        perform("shift.change", [this](Action &a) { return changeShiftRecord(a); });
    else if (roll < 58)
        perform("shift.delete", [this](Action &a) { return deleteShiftRecord(a); });
    else if (roll < 68)
        perform("shift.accept", [this](Action &a) { return acceptShiftRecord(a); });
    else if (roll < 78)
        perform("household.add", [this](Action &a) { return addHouseholdEntry(a); });
    else if (roll < 88)
        perform("household.change", [this](Action &a) { return changeHouseholdEntry(a); });
    else if (roll < 94)
        perform("household.delete", [this](Action &a) { return deleteHouseholdEntry(a); });
    else if (roll < 96)
        perform("average_piece", [this](Action &a) { return averagePiece(a); });
    else if (roll < 98)
        perform("rebuild.shift", [this](Action &a) { return rebuild(a, false); });
    else
        perform("rebuild.household", [this](Action &a) { return rebuild(a, true); });
}

void Workstation::perform(const QString &op, const std::function<bool(Action &)> &body) {
    Action a;
    a.workstation = index_;
    a.seq = ++seq_;
    a.op = op;
    a.startedMs = QDateTime::currentMSecsSinceEpoch();
    messages().lastError.clear();
    bool acted = true;
    QElapsedTimer timer;
    timer.start();
    runGuarded([&] { acted = body(a); });
    a.durationMs = int(timer.elapsed());
    if (!acted && messages().lastError.isEmpty())
        return;
    a.message = messages().lastError;
    a.outcome = outcomeOf(a.message);
    log_.write(QJsonDocument(toJson(a)).toJson(QJsonDocument::Compact) + '\n');
    log_.flush();
}

QDate Workstation::pickDay() {
    // Mostly the current days, now and then last month (refused while it is closed).
    if (rng_.bounded(10) == 0)
        return plan_.lastMonth().addDays(3 * (1 + rng_.bounded(4)));
    return plan_.days[rng_.bounded(int(plan_.days.size()))];
}

void Workstation::showShiftDay(const QDate &day, int shift) {
    TForm1 &main = *forms().Form1;
    main.DateT->setDate(day);
    main.selectShift(shift);
}

void Workstation::showHouseholdDay(const QDate &day) {
    TForm25 &list = *forms().Form25;
    list.setListDate(day);
    list.CBox1->setChecked(isWeekend(day));
    list.FormActivate();
}

QJsonObject Workstation::pickRow(Dataset &list, const QStringList &fields) {
    if (list.isEmpty())
        return {};
    list.moveTo(1 + rng_.bounded(list.recordCount()));
    QJsonObject row;
    for (const QString &f : fields)
        row[f] = jsonOf(list.value(f));
    return row;
}

bool Workstation::pickShiftRecord(Action &a) {
    showShiftDay(pickDay(), 1 + rng_.bounded(2));
    Dataset &list = forms().Form1->currentShift();
    a.read = pickRow(list, kShiftFields);
    a.id = a.read.isEmpty() ? 0 : list.asId("id");
    return !a.read.isEmpty();
}

bool Workstation::pickHouseholdEntry(Action &a) {
    showHouseholdDay(pickDay());
    Dataset &list = forms().Form25->fatigue;
    a.read = pickRow(list, kEntryFields);
    a.id = a.read.isEmpty() ? 0 : list.asId("id");
    return !a.read.isEmpty();
}

bool Workstation::addShiftRecord(Action &a) {
    TForm1 &main = *forms().Form1;
    const int shift = rng_.bounded(10) < 8 ? 1 + rng_.bounded(2) : 3 + rng_.bounded(2);
    showShiftDay(pickDay(), shift);
    const Named worker = plan_.workers[rng_.bounded(int(plan_.workers.size()))];
    const PriceRow row = plan_.priceRows[rng_.bounded(int(plan_.priceRows.size()))];
    const int quantity = 5 + rng_.bounded(20), defects = rng_.bounded(3), hours = 1 + rng_.bounded(8);
    a.wrote = {{"w_id", QString::number(worker.id)},   {"o_id", QString::number(row.id)},
               {"i_id", QString::number(row.product)}, {"data", main.DateT->date().toString(Qt::ISODate)},
               {"smena", QString::number(shift)},      {"kol_vo", QString::number(quantity)},
               {"brak", QString::number(defects)},     {"time", QString::number(hours)}};
    nextModal() = [&](QDialog *d) {
        TForm11 &editor = *forms().Form11;
        // What the two pickers hand over.
        editor.WorkerId = worker.id;
        editor.Edit1->setText(worker.name);
        editor.takeOperation(row.product, row.id, row.text, row.listPrice);
        editor.Edit3->setText(QString::number(quantity));
        editor.Edit4->setText(QString::number(defects));
        editor.Edit6->setText(QString::number(hours));
        editor.Button1->click();
        return d->result();
    };
    startAct();
    main.Button1Click();
    return true;
}

bool Workstation::changeShiftRecord(Action &a) {
    TForm1 &main = *forms().Form1;
    if (!pickShiftRecord(a))
        return false;
    const int quantity = a.read["kol_vo"].toString().toInt() + 1 + rng_.bounded(3);
    const int hours = 1 + rng_.bounded(8);
    a.wrote = {{"kol_vo", QString::number(quantity)}, {"time", QString::number(hours)}};
    nextModal() = [&](QDialog *d) {
        TForm11 &editor = *forms().Form11;
        editor.Edit3->setText(QString::number(quantity));
        editor.Edit6->setText(QString::number(hours));
        editor.Button1->click();
        return d->result();
    };
    startAct();
    main.Button2Click();
    return true;
}

bool Workstation::deleteShiftRecord(Action &a) {
    TForm1 &main = *forms().Form1;
    if (!pickShiftRecord(a))
        return false;
    startAct();
    main.Button3Click();
    return true;
}

bool Workstation::acceptShiftRecord(Action &a) {
    TForm1 &main = *forms().Form1;
    if (!pickShiftRecord(a))
        return false;
    startAct();
    main.DBGrid2DblClick();
    return true;
}

bool Workstation::addHouseholdEntry(Action &a) {
    TForm25 &list = *forms().Form25;
    showHouseholdDay(pickDay());
    const Named worker = plan_.workers[rng_.bounded(int(plan_.workers.size()))];
    const Named group = plan_.groups[rng_.bounded(int(plan_.groups.size()))];
    const int type = rng_.bounded(2) ? 7777 : 7778, hours = 1 + rng_.bounded(4);
    const bool night = rng_.bounded(4) == 0;
    a.wrote = {{"id_p", QString::number(worker.id)}, {"id_nom", QString::number(group.id)},
               {"id_o", QString::number(type)},      {"d_date", list.listDate().toString(Qt::ISODate)},
               {"cnt", QString::number(hours)},      {"i_night", night ? "1" : "0"}};
    nextModal() = [&](QDialog *d) {
        TForm24 &editor = *forms().Form24;
        // What the worker and group pickers hand over.
        editor.WorkerId = worker.id;
        editor.Edit1->setText(worker.name);
        editor.NomenclatureId = group.id;
        editor.Edit2->setText(group.name);
        editor.cb_type_work->setCurrentIndex(editor.cb_type_work->findData(type));
        editor.Edit6->setText(QString::number(hours));
        editor.CBox1->setChecked(night);
        editor.Button1->click();
        return d->result();
    };
    startAct();
    list.Button5Click();
    return true;
}

bool Workstation::changeHouseholdEntry(Action &a) {
    TForm25 &list = *forms().Form25;
    if (!pickHouseholdEntry(a))
        return false;
    const int hours = a.read["cnt"].toString().toInt() % 8 + 1;
    a.wrote = {{"cnt", QString::number(hours)}};
    nextModal() = [&](QDialog *d) {
        TForm24 &editor = *forms().Form24;
        editor.Edit6->setText(QString::number(hours));
        editor.Button1->click();
        return d->result();
    };
    startAct();
    list.Button6Click();
    return true;
}

bool Workstation::deleteHouseholdEntry(Action &a) {
    TForm25 &list = *forms().Form25;
    if (!pickHouseholdEntry(a))
        return false;
    startAct();
    list.Button7Click();
    return true;
}

bool Workstation::averagePiece(Action &a) {
    TForm25 &list = *forms().Form25;
    showHouseholdDay(pickDay());
    a.extra["month"] = list.listDate().toString("yyyy-MM");
    startAct();
    list.Button1Click();
    return true;
}

bool Workstation::rebuild(Action &a, bool household) {
    const QDate day = pickDay();
    a.extra["month"] = day.toString("yyyy-MM");
    startAct();
    refuseIfMonthClosed(dm().ADO_DB, day);
    if (household)
        RebuildHouseholdRows(dm(), day.month(), day.year(), nullptr);
    else
        RebuildShiftRows(dm(), day.month(), day.year(), nullptr);
    return true;
}

} // namespace soak
