#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>

#include "fakes/rig.h"

namespace zr::test {

// A module on fakes whose program folder is a fresh temporary directory; ProgFile is set as
// start-up sets it, but the file is only there once a test writes it.
struct StoreRig {
    StoreRig();
    void write(const QByteArray& text) const;
    QByteArray contents() const;
    QStringList folderEntries() const;  // every name in the folder

    QTemporaryDir dir;
    Rig rig;
    Module& m;
};

// The text that ErrorMessage gives `number`.
QByteArray TextOf(int16_t number);
// The items of a name list, joined by "|".
QByteArray Items(const FakeForm& form, Control list);

// Files on a disk that runs full half-way through every file written: the first half of
// the content goes to the disk, then the write fails with "no space left on device".
class FullDisk : public DiskFiles {
public:
    using DiskFiles::DiskFiles;

protected:
    ssize_t writeSome(int fd, const char* data, std::size_t size) override;

private:
    bool halfWritten_ = false;
};

}  // namespace zr::test
