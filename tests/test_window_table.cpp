// The README's table of windows (caption, class, file) holds every window the program creates, and
// each row's file declares its class.
#include "support/test_program.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

class WindowTableTest : public QObject {
    Q_OBJECT

    // Class -> file of the README's table rows.
    static QMap<QString, QString> tableRows() {
        QFile readme(PIECEWORK_SOURCE_DIR "/README.md");
        if (!readme.open(QIODevice::ReadOnly))
            return {};
        QMap<QString, QString> rows;
        const QRegularExpression row(R"(^\|[^|]+\| `(\w+)` \| `([^`]+)` \|$)");
        for (const QString &line : QString::fromUtf8(readme.readAll()).split('\n')) {
            const auto m = row.match(line);
            if (m.hasMatch())
                rows.insert(m.captured(1), m.captured(2));
        }
        return rows;
    }

private slots:
    void everyWindowIsInTheTable() {
        testing::startProgram("window_table");
        const QMap<QString, QString> rows = tableRows();
        QVERIFY(!rows.isEmpty());
        int windows = 0;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!qobject_cast<QDialog *>(w))
                continue;
            ++windows;
            const QString name = QString::fromLatin1(w->metaObject()->className());
            QVERIFY2(rows.contains(name),
                     qPrintable(name + " (\"" + w->windowTitle() + "\") is not in the README"));
        }
        QVERIFY(windows >= 20);
    }

    void everyRowNamesTheFileOfItsClass() {
        const QMap<QString, QString> rows = tableRows();
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            QFile header(PIECEWORK_SOURCE_DIR "/" + it.value());
            QVERIFY2(header.open(QIODevice::ReadOnly), qPrintable(it.value() + " is missing"));
            QVERIFY2(QString::fromUtf8(header.readAll()).contains("class " + it.key() + " : public"),
                     qPrintable(it.value() + " does not declare " + it.key()));
        }
    }
};

QTEST_MAIN(WindowTableTest)
#include "test_window_table.moc"
