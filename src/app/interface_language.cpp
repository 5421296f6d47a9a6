#include "app/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool useRussianInterface(QCoreApplication &app) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    static QTranslator *qtTexts = nullptr;
    if (qtTexts)
        return true;
    auto *translator = new QTranslator(&app);
    if (!translator->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    qtTexts = translator;
    return true;
}
