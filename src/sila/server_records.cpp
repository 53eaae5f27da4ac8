#include "sila/server_records.h"

#include <QSettings>
#include <QUuid>

namespace zr::sila {

namespace {

// QSettings takes "/" in a key as a group's end: the key is kept in hex.
QString Group(const std::string& key) {
    return QString::fromLatin1(QByteArray::fromStdString(key).toHex());
}

bool Written(QSettings& settings, std::string& error) {
    settings.sync();
    if (settings.status() == QSettings::NoError) return true;
    error = "cannot write " + settings.fileName().toStdString() +
            ": make its folder writable, or give the server a data folder it may write to";
    return false;
}

}  // namespace

std::string ServerRecords::uuid(const std::string& key, std::string& error) {
    const std::lock_guard lock(mutex_);
    QSettings settings(QString::fromStdString(file_), QSettings::IniFormat);
    settings.beginGroup(Group(key));
    const QString kept = settings.value("uuid").toString();
    if (!QUuid::fromString(kept).isNull()) return kept.toLower().toStdString();
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
    settings.setValue("uuid", made);
    settings.setValue("pump", QString::fromStdString(key));
    if (!Written(settings, error)) return {};
    return made.toStdString();
}

std::string ServerRecords::name(const std::string& key, const std::string& fallback) {
    const std::lock_guard lock(mutex_);
    QSettings settings(QString::fromStdString(file_), QSettings::IniFormat);
    settings.beginGroup(Group(key));
    return settings.value("name", QString::fromStdString(fallback)).toString().toStdString();
}

bool ServerRecords::setName(const std::string& key, const std::string& name, std::string& error) {
    const std::lock_guard lock(mutex_);
    QSettings settings(QString::fromStdString(file_), QSettings::IniFormat);
    settings.beginGroup(Group(key));
    settings.setValue("name", QString::fromStdString(name));
    return Written(settings, error);
}

}  // namespace zr::sila
