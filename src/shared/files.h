#pragma once

#include <string>

namespace zr {

// The file that keeps the operator's named command strings.
inline constexpr const char* ProgramsFile = "programs.txt";

// The program's text files: the command lists it reads and the file it keeps. Every operation reports failure
// by its result, with a reason a person can read in `error` (e.g. "permission denied"); a failed operation
// leaves the file as it was.
class Files {
public:
    virtual ~Files() = default;

    // The path of the file `name` that the program keeps (programs.txt): in the folder that
    // holds the running program, or in the user's own folder when the program may not write there.
    virtual std::string pathOf(const std::string& name) const = 0;
    // The path of the command-list file `name`: beside the program, or where the installed
    // command lists are.
    virtual std::string listPathOf(const std::string& name) const = 0;
    // False only when nothing is at `path`. Anything else there (a directory, a file that
    // cannot be read, a path that cannot be looked at) counts as existing, so that the
    // operation that follows reports its real reason instead of a missing file.
    virtual bool exists(const std::string& path) const = 0;
    // The whole content of the file, bytes unchanged. Only a regular file can be read, and one
    // far longer than any file of command strings is refused unread.
    virtual bool read(const std::string& path, std::string& content, std::string& error) const = 0;
    // Replaces the file's content in one step, or creates the file when there is none: the
    // new text goes to a temporary file in the same folder, and only once all of it is on the
    // disk is that renamed over the old one, which keeps its permissions. A link is followed,
    // so the file it points to is replaced and the link stays. On failure (a full disk
    // included, however far the write got) the old file is unchanged, or still missing, and
    // no temporary file is left behind; those that a writer killed halfway left are removed.
    virtual bool replace(const std::string& path, const std::string& content, std::string& error) = 0;
    // Makes the file with `content` unless something is there already (a link is followed to
    // the file it names). The name is taken in one step, which fails when another program has
    // made the file meanwhile: that file is kept as it is. True when the file is there
    // afterwards; on failure nothing is left.
    virtual bool create(const std::string& path, const std::string& content, std::string& error) = 0;
    // Adds to the end of an existing regular file and flushes it to the disk; on failure the
    // file is cut back to its old length, never cutting what another program appended
    // meanwhile. Another program that is writing the file is waited for, a few seconds at most.
    virtual bool append(const std::string& path, const std::string& content, std::string& error) = 0;
};

}  // namespace zr
