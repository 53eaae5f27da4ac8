#include "platform/files/data_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "shared/files.h"
#include "shared/list_boxes.h"

namespace zr {

namespace {

QString Local(const std::string& path) {
    return QString::fromStdString(path);
}

bool HoldsCommandLists(const QDir& folder) {
    for (const DeviceType& device : DeviceTypes)
        if (QFileInfo::exists(folder.filePath(QString::fromLatin1(device.file)))) return true;
    return false;
}

// $XDG_DATA_HOME/zadu-rovu, or ~/.local/share/zadu-rovu when that is not set.
std::string UserDataFolder() {
    const QString shared = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(shared).filePath(QStringLiteral("zadu-rovu")).toStdString();
}

}  // namespace

DataFolders FindDataFolders(const std::string& programDir) {
    const QDir program(Local(programDir));
    const QDir share(QDir::cleanPath(program.absoluteFilePath(QStringLiteral("../share/zadu-rovu"))));
    const bool installed = !HoldsCommandLists(program) && HoldsCommandLists(share);
    DataFolders folders{programDir, programDir, programDir, {}};
    if (installed) folders.lists = share.path().toStdString();
    if (!installed && QFileInfo(program.path()).isWritable()) return folders;
    folders.data = UserDataFolder();
    const QString earlier = program.filePath(QString::fromLatin1(ProgramsFile));
    if (QFileInfo::exists(earlier)) folders.earlierPrograms = earlier.toStdString();
    return folders;
}

DataFolders PrepareDataFolders(const std::string& programDir) {
    DataFolders folders = FindDataFolders(programDir);
    if (folders.data != folders.program) QDir().mkpath(Local(folders.data));
    return folders;
}

}  // namespace zr
