#pragma once
// Every window of the program exists once, from start-up to the end of the run; windows reach
// each other through this registry, which owns them.
#include <QObject>
#include <memory>
#include <vector>

class TDataModule6;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm18;
class TForm19;
class TForm22;
class TForm23;
class TForm24;
class TForm25;
class TForm27;
class TForm26;
class TForm29;
class MonthClosingWindow;
class ChangeHistoryWindow;
class AccountsWindow;

struct Forms {
    // Where each window is found (the registry owns them; see keep).
    TDataModule6 *DataModule6 = nullptr;
    TForm1 *Form1 = nullptr;
    TForm23 *Form23 = nullptr;
    TForm2 *Form2 = nullptr;
    TForm3 *Form3 = nullptr;
    TForm4 *Form4 = nullptr;
    TForm5 *Form5 = nullptr;
    TForm7 *Form7 = nullptr;
    TForm8 *Form8 = nullptr;
    TForm9 *Form9 = nullptr;
    TForm10 *Form10 = nullptr;
    TForm11 *Form11 = nullptr;
    TForm18 *Form18 = nullptr;
    TForm19 *Form19 = nullptr;
    TForm22 *Form22 = nullptr;
    TForm24 *Form24 = nullptr;
    TForm25 *Form25 = nullptr;
    TForm26 *Form26 = nullptr;
    TForm27 *Form27 = nullptr;
    TForm29 *Form29 = nullptr;
    MonthClosingWindow *MonthClosing = nullptr;
    ChangeHistoryWindow *ChangeHistory = nullptr;
    AccountsWindow *Accounts = nullptr;

    // Takes a window into the registry's keeping and returns it.
    template <class W> W *keep(W *window) {
        kept_.emplace_back(window);
        return window;
    }
    // The data module, kept until every window is gone.
    template <class M> M *keepDataModule(M *module) {
        dataModule_.reset(module);
        DataModule6 = module;
        return module;
    }
    // Destroys what it keeps in reverse order of keeping, the data module last of all, so that no
    // window outlives the connection it reads; the registry is empty afterwards.
    void destroyAll();

private:
    std::vector<std::unique_ptr<QObject>> kept_;
    std::unique_ptr<QObject> dataModule_;
};

Forms &forms();
