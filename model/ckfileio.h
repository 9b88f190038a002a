#pragma once
// Whole-file reading and crash-safe writing.

#include "base/result.h"

#include <cstdint>
#include <string>

// The largest document file read: far beyond any real document, and small enough that every
// position in it fits the parser's 32-bit positions.
constexpr uint64_t MaxDocumentBytes = uint64_t{1} << 30;

// "Die Datei ist mit <size> Bytes zu groß ...", the size with thousands separators.
std::string FileTooLargeText(uint64_t Size);

// Reads the whole file. Fails, with the German reason and no data, with NotFound when the
// file or a folder on its path does not exist (callers that read a missing file as empty ask
// for that status), NotAFile for a folder, a device or a pipe (which never ends or blocks),
// TooLarge beyond MaxDocumentBytes, and the system's failure otherwise.
TResultWith<std::string> ReadWholeFile(const std::string &FileName);

// What tells whether another program replaced or changed a file: its identity, size and
// modification time.
struct TFileStamp {
    bool Exists = false;
    uint64_t Device = 0, Inode = 0;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    bool operator==(const TFileStamp &) const = default;
};

// The stamp of the file FileName names (symbolic links followed); Exists false when none.
TFileStamp FileStampOf(const std::string &FileName);

// Replaces FileName with Data so that a crash or a failure at any moment leaves either the
// old or the new content: an unnamed temporary file beside it (or, where the file system has
// none, one named ".chronark-XXXXXX.tmp") is written, flushed to disk and renamed over it,
// with the old file's permissions, owner and group where the system allows. Symbolic links
// are followed; a special file (a device, a pipe) is written in place. An existing file that
// the user may not write is refused and kept. A writable file that cannot be replaced (its
// folder is not writable, a sticky folder, a mount point) is overwritten in place: space is
// reserved first and the data flushed, but a crash while writing leaves it partly written.
// On failure the old file is untouched and the result says why; a success may carry a
// warning (the folder could not be synced). The value is the stamp of the file as written.
struct TWriteOptions {
    // For a file the program keeps for itself (the backup): a symbolic link at the name is
    // replaced, never followed, and the file is never overwritten in place, so the write
    // reaches no file but one at this very name.
    bool ReplaceLinks = false;
    // A file the output must never replace (the open document while export or print writes),
    // also not through a link; empty for none.
    std::string Protected;
};
TResultWith<TFileStamp> WriteFileAtomic(const std::string &FileName, const std::string &Data,
                                        const TWriteOptions &Options = {});
// The checks WriteFileAtomic makes before it writes (a folder, a device or pipe, a
// write-protected file, the protected file). For commands that produce their output first and
// want to refuse before the work.
TResult CheckOutputTarget(const std::string &FileName, const TWriteOptions &Options);

// FileName + ".bak": the one kept generation of a document before its last save.
std::string BackupFileName(const std::string &FileName);

// Copies the file FileName names to BackupFileName before a save replaces it, written as
// WriteFileAtomic writes, so a crash leaves the old backup or the new one whole. A file of
// fewer than MinBytes (empty, cut off before its header) is no version worth keeping and never
// replaces the backup; neither is a missing file or one that is no regular file. A failed copy
// leaves the backup as it was.
TResult KeepBackup(const std::string &FileName, uint64_t MinBytes);

// Seams for tests: behave as on a file system without unnamed temporary files, and replace
// the folder's fsync after the rename.
struct TFileIoTestHooks {
    bool NoUnnamedTemporaries = false;
    int (*SyncFolder)(int Fd) = nullptr;
};
extern TFileIoTestHooks FileIoTestHooks;

// The former forms for the export code, which has not moved to TResult yet: a missing file is
// read as empty (Missing set), and a failure answers false with Reason.
struct TSaveReport {
    std::string Reason;
    std::string Warning;
    TFileStamp Written;
};
inline bool ReadWholeFile(const std::string &FileName, std::string &Data, bool &Missing,
                          std::string &Reason) {
    TResultWith<std::string> read = ReadWholeFile(FileName);
    Data = std::move(read.Value);
    Missing = read.Result.Status() == TStatus::NotFound;
    if (!read.Result && !Missing)
        Reason = read.Result.Message();
    return read.Result || Missing;
}
inline bool WriteFileAtomic(const std::string &FileName, const std::string &Data,
                            TSaveReport &Report, const TWriteOptions &Options) {
    const TResultWith<TFileStamp> written = WriteFileAtomic(FileName, Data, Options);
    (written.Result ? Report.Warning : Report.Reason) = written.Result.Message();
    Report.Written = written.Value;
    return static_cast<bool>(written.Result);
}
