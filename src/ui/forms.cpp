#include "ui/forms.h"

Forms &forms() {
    // Never destroyed by itself: windows cannot outlive the application object, so the program
    // ends them (destroyForms) while it still runs; a run that does not is left to the system.
    static Forms *f = new Forms;
    return *f;
}

void Forms::destroyAll() {
    while (!kept_.empty())
        kept_.pop_back();
    dataModule_.reset();
    *this = Forms{};
}
