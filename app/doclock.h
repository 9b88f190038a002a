#pragma once
// One writer per document: a lock file beside it ("NAME.ckx.lock") names the process that
// has the document open for writing. Standard C++ (POSIX).

#include <string>

struct TLockOwner {
    long Pid = 0;
    std::string Host;
    bool operator==(const TLockOwner &) const = default;
};

// The name of this machine as lock files record it.
std::string ThisHostName();
// Whether a process with this id runs on this machine (one of another user's counts).
bool ProcessAlive(long Pid);
// The owner this process writes into its lock files.
TLockOwner ThisProcessOwner();
// A lock is stale when its process is gone: known only for locks of this machine, since a
// process on another one cannot be asked. An unreadable lock (cut off while it was written)
// counts as stale as well.
bool IsStaleLock(const TLockOwner &Owner, bool Readable);

std::string LockFileName(const std::string &Document);
// Reads the owner of a lock file: false when there is none or it names no process, and
// without waiting when it is no regular file (a FIFO, a device, a link) or is longer than a
// lock ever is (a few hundred bytes): such a lock is unreadable.
bool ReadLockOwner(const std::string &LockFile, TLockOwner &Owner);

class TDocumentLock {
public:
    enum class TOutcome {
        Acquired,    // the lock file names this process now
        HeldByOther, // a running process holds it (Holder says which)
        Unavailable, // no lock file can be made there (a read-only folder): none is needed
    };

    TDocumentLock() = default;
    ~TDocumentLock() { Release(); }
    TDocumentLock(const TDocumentLock &) = delete;
    TDocumentLock &operator=(const TDocumentLock &) = delete;

    // Takes the lock of Document. A stale lock is replaced; a lock of this very process is
    // taken over as it is. With Force a live holder's lock is replaced too ("open anyway"):
    // from then on others see this process as the writer.
    TOutcome Acquire(const std::string &Document, bool Force, TLockOwner &Holder);
    // Removes the lock file while it still names this process and no other lock object of
    // it holds the file; a lock another process has taken over since stays.
    void Release();
    bool Held() const { return !File.empty(); }
    const std::string &LockFile() const { return File; }

private:
    std::string File;
};
