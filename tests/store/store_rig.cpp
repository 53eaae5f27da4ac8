#include "store_rig.h"

#include <QDir>
#include <QFile>
#include <cerrno>

namespace zr::test {

ssize_t FullDisk::writeSome(int fd, const char* data, std::size_t size) {
    halfWritten_ = !halfWritten_;
    if (halfWritten_) return DiskFiles::writeSome(fd, data, size / 2);
    errno = ENOSPC;
    return -1;
}

StoreRig::StoreRig(bool fullDisk)
    : rig(dir.path().toStdString()),
      disk(rig.files.folder()),
      onFullDisk(rig.serial, rig.timer, rig.clock, rig.events, rig.dialogs, rig.form, disk),
      m(fullDisk ? onFullDisk : rig.m) {
    m.ProgFile = PathInFolder(m.files.folder(), "programs.txt");
}

void StoreRig::write(const QByteArray& text) const {
    QFile file(QString::fromStdString(m.ProgFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write programs.txt");
}

QByteArray StoreRig::contents() const {
    QFile file(QString::fromStdString(m.ProgFile));
    if (QFileInfo(file).isDir()) return "<folder>";
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

QStringList StoreRig::folderEntries() const {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

QByteArray StoreRig::errors() const {
    QByteArray text = QByteArray::number(m.ErrNum);
    for (const FakeDialogs::Message& box : rig.dialogs.messages)
        text += (box.icon == MessageIcon::Critical && box.title.empty() ? " box: " : " other box: ") +
                QByteArray::fromStdString(box.text);
    return text;
}

QByteArray StoreRig::items(Control list) const {
    QByteArrayList items;
    for (const std::string& item : rig.form.at(list).items) items << QByteArray::fromStdString(item);
    return items.join(',');
}

}  // namespace zr::test
