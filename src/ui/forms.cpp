#include "ui/forms.h"

Forms &forms() {
    static Forms f;
    return f;
}
