#include "store_rig.h"

#include <QDir>
#include <QFile>
#include <cerrno>

#include "link/error_messages.h"

namespace zr::test {

StoreRig::StoreRig() : rig(dir.path().toStdString()), m(rig.m) {
    m.ProgFile = PathInFolder(m.files.folder(), "programs.txt");
}

void StoreRig::write(const QByteArray& text) const {
    QFile file(QString::fromStdString(m.ProgFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write programs.txt");
}

QByteArray StoreRig::contents() const {
    QFile file(QString::fromStdString(m.ProgFile));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

QStringList StoreRig::folderEntries() const {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

QByteArray TextOf(int16_t number) {
    Rig scratch;
    scratch.m.ErrNum = number;
    ErrorMessage(scratch.m);
    return QByteArray::fromStdString(scratch.m.ErrDetail);
}

QByteArray Items(const FakeForm& form, Control list) {
    QByteArrayList items;
    for (const std::string& item : form.at(list).items) items << QByteArray::fromStdString(item);
    return items.join('|');
}

ssize_t FullDisk::writeSome(int fd, const char* data, std::size_t size) {
    halfWritten_ = !halfWritten_;
    if (halfWritten_) return DiskFiles::writeSome(fd, data, size / 2);
    errno = ENOSPC;
    return -1;
}

}  // namespace zr::test
