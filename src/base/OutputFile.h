#pragma once

#include "base/FileProblem.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace base {

class OutputSet;

// Where a job writes the files it names itself (B.C, FontBank.txt, Font_def.h, ...), and how its messages
// name them: with the folder ("out/B.C", as the CLI's --out DIR gives it), or by the name alone where the
// folder is the place the user works in (the window's current folder), as a working directory's files are
// named. Empty: the process's working directory.
struct OutputDirectory {
    std::string path;
    bool namesAlone = false;

    OutputDirectory() = default;
    // A folder its files are named with.
    OutputDirectory(std::string folder) : path(std::move(folder)) {}
    // The window's current folder: its files are named alone.
    static OutputDirectory Current(std::string folder) {
        OutputDirectory d(std::move(folder));
        d.namesAlone = true;
        return d;
    }

    // Where the file of that name goes.
    std::string PathOf(const std::string& name) const;
    // How messages name it.
    std::string MessageNameOf(const std::string& name) const;
};

// The one way Tavix writes a file. In Text mode every "\n" written (by Write, Put or Printf) becomes CR LF,
// the line end of every text file the tool writes; in Binary mode the bytes go out exactly as given.
//
// Create() never touches the target: the bytes go to a new temporary file in the target's folder, named
// ".tavix-" and six random characters (short and of fixed length, so that a target whose name is as long as
// the file system allows still works), and Close() renames it over the target only when every byte was
// written and closed without error. Nothing is ever written into the target itself: when no temporary file
// can be made beside it (a folder the user may not write, no free inode), Create() fails with "cannot
// replace NAME safely: REASON" and the target keeps every byte. A failure later on (a full disk, a size
// limit) leaves the target exactly as it was and removes the temporary file; nothing here ever removes a
// file it did not create. A replaced file keeps its permission bits (and its owner, where the process may
// set it), and a symbolic link is followed (the file it points to is replaced). A target that is a device or
// a pipe holds nothing to replace: it is written as it stands, opened without waiting for a reader (a pipe
// that nobody reads is refused).
//
// OpenForAppend() adds to the end of a regular file (creating it when missing); when anything fails, Close()
// cuts the file back to the length it had before.
//
// A file created or appended to in an OutputSet is only finished by Close(): the set puts all its files in
// place together, or none of them (OutputSet::Commit).
//
// Destroying an object that is still open abandons the write: a replaced target keeps its old bytes (its
// temporary file is removed) and an append is cut back; a device or a pipe, written as it stands, keeps
// whatever already reached it, which nothing can take back. Every temporary file and append in progress is
// listed for the signal handlers of OutputGuard.h, so an interrupted process (one that called GuardOutputs)
// leaves none behind. Writing to an object that is not open is a programming error (it asserts in debug
// builds and writes nothing).
//
// Problem() says which file the last Create(), OpenForAppend() or Close() failed on and why (FileProblem.h):
// "cannot replace NAME safely: REASON" (no temporary file could be made beside an existing target), "cannot
// create NAME: REASON" (nor beside a new one), "cannot write NAME: REASON" (the target refuses writing, or a
// write failed), "NAME is not a regular file" (an append to a device), with the system's text for the reason
// ("Permission denied", "File too large", "No space left on device").
class OutputFile final {
public:
    enum class Mode { Text, Binary };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    ~OutputFile(); // abandons an open write

    // Starts replacing (or creating) the file at path. False, leaving the object closed and nothing on disk
    // changed, when it cannot: the target may not be written, is a folder, or no temporary file can be made
    // beside it.
    bool Create(const std::string& path, Mode mode);
    // The same as a member of set: Close() only finishes the temporary file, set.Commit() puts it in place.
    // A file that cannot be created leaves the set as it was (the job decides whether it can go on).
    bool Create(const std::string& path, Mode mode, OutputSet& set);
    // The file of that name in directory, named in Problem() as directory names it.
    bool Create(const OutputDirectory& directory, const std::string& name, Mode mode, OutputSet& set);
    // Starts adding to the end of the regular file at path (created when missing). False when it cannot be
    // opened or is not a regular file.
    bool OpenForAppend(const std::string& path, Mode mode);
    bool OpenForAppend(const std::string& path, Mode mode, OutputSet& set);

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    // Why the last Create, OpenForAppend or Close failed; an empty path and reason when nothing failed.
    const FileProblem& Problem() const { return problem_; }

    void Write(std::string_view text);
    void Put(std::uint8_t byte);
    // Formats straight into the write buffer; only a text longer than a few hundred bytes takes a detour
    // through a string.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // For writers of many small pieces (hex items, the values of a table row): room for up to `size` bytes
    // in the write buffer, so that a piece is formatted where it will be written instead of being built
    // elsewhere and copied. Put the bytes there and pass the end of what was put to Commit(). They are
    // written as they stand, not looked at again: in Text mode a room must hold no "\n" (debug builds check
    // it); end the line with Put('\n') or Write() between rooms, which writes CR LF. A room is given up,
    // writing nothing, when anything else is written or another room is asked for before its Commit(). Any
    // size is served, but the buffer grows to fit a large one, so ask for a piece, not a whole file.
    char* Room(std::size_t size);
    void Commit(const char* end);

    // Binary mode: appends up to `size` bytes of the open file `in`, read from its offset `from` (its own
    // position is not used or moved). The kernel copies them file to file where it can (copy_file_range,
    // no pass through this process); where the file systems refuse that, they go through the write buffer.
    // Returns how many bytes were taken, fewer when the input ends first, or -1 when reading the input
    // failed (errno says why). A failed write is recorded as for Write, and the rest dropped (all `size`
    // bytes count as taken): Close() reports it.
    long long CopyFrom(int in, std::uint64_t from, std::uint64_t size);

    // Finishes the file: flushes and closes it and, outside a set, puts it in place. False when any step
    // failed; the target then holds what it held before (and a set the file belongs to has failed).
    // Closing a closed object returns true.
    bool Close();

private:
    friend class OutputSet;
    enum class Kind { Replace, Device, Append };

    char* RoomAfterFlush(std::size_t size);
    void PutAfterFlush(std::uint8_t byte);
    // Forgets any write in progress and takes the target (and the name problems give it), its mode, its set
    // and a fresh buffer.
    void Begin(const std::string& path, const std::string& messageName, Mode mode, OutputSet* set);
    bool StartReplace();
    bool StartAppend();
    void StartBuffer();
    void Flush();
    void AppendBytes(const char* data, size_t size);
    void WriteOut(const char* data, size_t size);
    void Abandon();
    // Records why the file failed (how the failure is worded, and the system's error number); Refuse also
    // returns false and drops the set of a file that never opened.
    void Fail(Wording wording, int error);
    bool Refuse(Wording wording, int error);

    int fd_ = -1;
    Mode mode_ = Mode::Binary;
    Kind kind_ = Kind::Replace;
    OutputSet* set_ = nullptr;  // the set the file belongs to, or none
    std::string path_;          // the target as given
    std::string messageName_; // the target as Problem() names it: path_, unless the directory says otherwise
    int dirFd_ = -1;            // Replace: the target's folder
    std::string targetName_;    // Replace: the target's name in that folder (symbolic links followed)
    std::string tempName_;      // Replace: the temporary file's name there
    int listed_ = -1;           // the entry in the signal guard's list
    long long appendStart_ = 0; // Append: the length before
    int error_ = 0;             // errno of the first failed write
    FileProblem problem_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t used_ = 0;
    const char* roomEnd_ = nullptr; // the end of the room handed out last, to catch a commit past it
    bool failed_ = false;
};

// Room, Commit and Put stay inline: the writers that use them call them for every few bytes.

inline char* OutputFile::Room(std::size_t size) {
    if (fd_ < 0 || capacity_ - used_ < size) return RoomAfterFlush(size);
    char* room = buffer_.get() + used_;
    roomEnd_ = room + size;
    return room;
}

inline void OutputFile::Commit(const char* end) {
    const char* room = buffer_.get() + used_;
    assert(end >= room && end <= roomEnd_ && "commit of bytes outside the room handed out");
    assert((mode_ == Mode::Binary || !std::memchr(room, '\n', static_cast<std::size_t>(end - room))) &&
           "a line end in a Text-mode room");
    if (fd_ >= 0) used_ += static_cast<std::size_t>(end - room);
}

inline void OutputFile::Put(std::uint8_t byte) {
    if (mode_ == Mode::Text && byte == '\n') {
        if (fd_ >= 0 && capacity_ - used_ >= 2) {
            buffer_[used_++] = '\r';
            buffer_[used_++] = '\n';
            return;
        }
    } else if (fd_ >= 0 && used_ < capacity_) {
        buffer_[used_++] = static_cast<char>(byte);
        return;
    }
    PutAfterFlush(byte);
}

// The outputs of one job, replaced together. Each file created in the set is written to its temporary
// file and finished by its Close(); Commit() then renames every finished file over its target, in the order
// they were finished, with the interrupting signals held back, so that the set lands whole or not at all:
// until Commit() no target has changed. A member that fails (its Close() returns false, or it is destroyed
// while still open) fails the set; Commit() then puts nothing in place and returns false, and Problem()
// names the first file that failed and why. Appends in a set are kept by Commit() and cut back to their old
// length when the set is abandoned. Destroying a set that was not committed abandons it: every temporary
// file is removed, every append cut back.
//
// Renames within one folder do not fail in practice; should one fail all the same (a target replaced by a
// folder meanwhile), the files renamed before it stay new, the others keep their old bytes, and Commit()
// returns false naming it.
class OutputSet final {
public:
    OutputSet() = default;
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;
    ~OutputSet();

    bool Commit();
    // Gives up every finished member (temporary files removed, appends cut back); the set stays failed.
    void Abandon();
    // Records a failure of the job that no member saw (a source that changed while it was read), so that
    // Commit() puts nothing in place.
    void Fail(const FileProblem& problem);

    bool Failed() const { return failed_; }
    // The first failure of the set; an empty path and reason while nothing failed.
    const FileProblem& Problem() const { return problem_; }

private:
    friend class OutputFile;
    // A member that was finished and waits for Commit(): a temporary file to rename, or an append (fd open)
    // to keep.
    struct Finished {
        bool append = false;
        int fd = -1; // the folder of the temporary file, or the appended file
        std::string tempName;
        std::string targetName;
        std::string path;   // as given, for messages
        std::string target; // the path written, for the thread's FileLog
        long long appendStart = 0;
        int listed = -1;
        FileProblem problem; // why PutInPlace failed
    };
    void Add(Finished finished) { finished_.push_back(std::move(finished)); }
    // Members report here while they are open, so that none outlives the set.
    void Joined(OutputFile* file);
    void Left(OutputFile* file);
    void Moved(OutputFile* from, OutputFile* to);
    // Removes a temporary file or cuts an append back; puts a temporary file in place (an append is kept).
    static void Drop(Finished& f);
    static bool PutInPlace(Finished& f);

    std::vector<OutputFile*> open_;
    std::vector<Finished> finished_;
    bool failed_ = false;
    bool committed_ = false;
    FileProblem problem_;
};

// Creates or replaces the file at path with the bytes, as OutputFile does. Returns false when it could not;
// the file then holds what it held before, and problem (when given) says why.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileProblem* problem = nullptr);

} // namespace base
