#include "core/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <unistd.h>

namespace {
// A quoted value: the text between the quotes with \" and \\ undone; anything after the closing
// quote is ignored.
QString unquote(const QString &value) {
    QString out;
    for (int i = 1; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == '"')
            break;
        if (c == '\\' && i + 1 < value.size() && (value.at(i + 1) == '"' || value.at(i + 1) == '\\')) {
            out += value.at(++i);
            continue;
        }
        out += c;
    }
    return out;
}
} // namespace

QHash<QString, SettingsSection> parseSettings(const QString &text) {
    QHash<QString, SettingsSection> sections;
    QString current;
    for (const QString &raw : text.split('\n')) {
        const QString line = QString(raw).remove('\r').trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        sections[current][key] = value.startsWith('"') ? unquote(value) : value;
    }
    return sections;
}

SettingsSection readSettingsSection(const QString &path, const QString &section) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseSettings(QString::fromUtf8(file.readAll())).value(section);
}

QString passwordExposureWarning(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool holdsPassword = false;
    for (const SettingsSection &s : parseSettings(QString::fromUtf8(file.readAll())))
        holdsPassword = holdsPassword || s.contains(QStringLiteral("password"));
    if (!holdsPassword)
        return {};
    // The workstation's file is shared by its users (a group of theirs may read it); a file of
    // the user's own is that user's alone, as libpq asks of its password file.
    const QFileDevice::Permissions p = QFileInfo(path).permissions();
    const bool own = QFileInfo(path).ownerId() == ::getuid();
    const bool exposed = p.testFlag(QFileDevice::ReadOther) || (own && p.testFlag(QFileDevice::ReadGroup));
    if (!exposed)
        return {};
    return QStringLiteral("Внимание: файл настроек %1 хранит пароль и доступен для чтения другим "
                          "пользователям; оставьте доступ только владельцу (chmod 600) или группе "
                          "пользователей программы (chmod 640).")
        .arg(path);
}
