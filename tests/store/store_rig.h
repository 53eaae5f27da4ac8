#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include "fakes/rig.h"

namespace zr::test {

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

// A module on fakes whose program folder is a fresh temporary directory, its files on a
// sound or a full disk; ProgFile is set as start-up sets it, but the file is only there once
// a test writes it.
struct StoreRig {
    explicit StoreRig(bool fullDisk = false);
    void write(const QByteArray& text) const;
    QByteArray contents() const;        // "<no file>" or "<folder>" when there is no file
    QStringList folderEntries() const;  // every name in the folder
    // The error number, then each box shown: " box: " and its text for the store's error box
    // (critical, no title), " other box: " for any other.
    QByteArray errors() const;
    // The items of a name list, joined by ",".
    QByteArray items(Control list) const;

    QTemporaryDir dir;
    Rig rig;
    FullDisk disk;
    Module onFullDisk;
    Module& m;
};

}  // namespace zr::test
