#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <string>

// The largest document file read: far beyond any real document, and small enough that every
// position in it fits the parser's 32-bit positions.
constexpr uint64_t MaxDocumentBytes = uint64_t{1} << 30;

// "Die Datei ist mit <size> Bytes zu groß ...", the size with thousands separators.
std::string FileTooLargeText(uint64_t Size);

// Reads the whole file. Answers false with a German reason when it exists but cannot be
// read, is no regular file (a device or a pipe never ends or blocks), or is larger than
// MaxDocumentBytes; a missing file is read as empty (Missing is set).
bool ReadWholeFile(const std::string &FileName, std::string &Data, bool &Missing,
                   std::string &Reason);

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

struct TSaveReport {
    // Why the save failed (German).
    std::string Reason;
    // A remark on a save that succeeded (German), e.g. that the folder could not be synced.
    std::string Warning;
    // The file as written.
    TFileStamp Written;
};

// Replaces FileName with Data so that a crash or a failure at any moment leaves either the
// old or the new content: an unnamed temporary file beside it (or, where the file system has
// none, one named ".chronark-XXXXXX.tmp") is written, flushed to disk and renamed over it,
// with the old file's permissions, owner and group where the system allows. Symbolic links
// are followed; a special file (a device, a pipe) is written in place. An existing file that
// the user may not write is refused and kept. A writable file that cannot be replaced (its
// folder is not writable, a sticky folder, a mount point) is overwritten in place: space is
// reserved first and the data flushed, but a crash while writing leaves it partly written.
// On failure the old file is untouched and Report.Reason holds a German explanation.
struct TWriteOptions {
    // For a file the program keeps for itself (the backup): a symbolic link at the name is
    // replaced, never followed, and the file is never overwritten in place, so the write
    // reaches no file but one at this very name.
    bool ReplaceLinks = false;
    // A file the output must never replace (the open document while export or print writes),
    // also not through a link; empty for none.
    std::string Protected;
};
bool WriteFileAtomic(const std::string &FileName, const std::string &Data, TSaveReport &Report,
                     const TWriteOptions &Options = {});
// The checks WriteFileAtomic makes before it writes (a folder, a device or pipe, a
// write-protected file, the protected file): false with the German reason. For commands that
// produce their output first and want to refuse before the work.
bool CheckOutputTarget(const std::string &FileName, const TWriteOptions &Options,
                       std::string &Reason);

// FileName + ".bak": the one kept generation of a document before its last save.
std::string BackupFileName(const std::string &FileName);

// Copies the file FileName names to BackupFileName before a save replaces it, written as
// WriteFileAtomic writes, so a crash leaves the old backup or the new one whole. A file of
// fewer than MinBytes (empty, cut off before its header) is no version worth keeping and never
// replaces the backup; neither is a missing file or one that is no regular file. Answers false
// with a German reason when the copy failed; the backup is then as it was.
bool KeepBackup(const std::string &FileName, uint64_t MinBytes, std::string &Reason);

// Seams for tests: behave as on a file system without unnamed temporary files, and replace
// the folder's fsync after the rename.
struct TFileIoTestHooks {
    bool NoUnnamedTemporaries = false;
    int (*SyncFolder)(int Fd) = nullptr;
};
extern TFileIoTestHooks FileIoTestHooks;
