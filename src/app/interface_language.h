#pragma once
// The interface is Russian whatever the workstation's locale: dates, calendars and number forms,
// and Qt's own buttons and dialogs ("Да"/"Нет", the file, print and colour dialogs).
class QCoreApplication;

// Sets the default locale to Russian and loads Qt's Russian translations; false when the
// translations are not installed (the program's own texts are Russian all the same).
bool useRussianInterface(QCoreApplication &app);
