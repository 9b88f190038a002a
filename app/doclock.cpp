#include "app/doclock.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many lock objects of this process hold each lock file: reopening the document it has
// open takes a second one, and the file goes only when the last lets go.
std::mutex HoldersMutex;
std::map<std::string, int> Holders;

void Hold(const std::string &File) {
    std::lock_guard<std::mutex> guard(HoldersMutex);
    ++Holders[File];
}

// Answers whether this was the last holder.
bool LetGo(const std::string &File) {
    std::lock_guard<std::mutex> guard(HoldersMutex);
    auto it = Holders.find(File);
    if (it == Holders.end() || --it->second > 0)
        return it == Holders.end();
    Holders.erase(it);
    return true;
}

std::string OwnerText(const TLockOwner &Owner) {
    return std::to_string(Owner.Pid) + "\n" + Owner.Host + "\n";
}

// Creates File afresh holding Text: O_EXCL neither follows a link nor opens a FIFO found
// under the name. Answers 0 or the error.
int WriteNewFile(const std::string &File, const std::string &Text) {
    const int fd = ::open(File.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    const bool written = ::write(fd, Text.data(), Text.size()) == ssize_t(Text.size());
    ::close(fd);
    return written ? 0 : EIO;
}

// Writes a temporary file of this process. Whatever has its name (left by an earlier process
// of the same id, or a link put there to have another file overwritten) goes first.
int WriteTemporary(const std::string &Temp, const std::string &Text) {
    ::unlink(Temp.c_str());
    const int error = WriteNewFile(Temp, Text);
    // Not to be taken for an existing lock.
    return error == EEXIST ? EIO : error;
}

// Creates File holding Text only when no file of that name exists. The text goes into a
// temporary file first and is linked to the name, so a reader never sees it half written;
// where the file system has no links it is created exclusively and written.
int CreateExclusive(const std::string &File, const std::string &Text) {
    const std::string temp = File + "." + std::to_string(::getpid()) + ".tmp";
    int error = WriteTemporary(temp, Text);
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    if (::link(temp.c_str(), File.c_str()) != 0)
        error = errno;
    ::unlink(temp.c_str());
    if (error != EPERM && error != ENOTSUP && error != ENOSYS)
        return error;
    return WriteNewFile(File, Text);
}

// A lock this program writes is a process id and a host name: far below this.
constexpr std::size_t MaxLockSize = 512;

// Reads File only when it is a regular file of at most MaxLockSize bytes. Nothing here waits:
// a FIFO or device put in a lock's place would block an open or read, a huge file would fill
// memory, and a link could lead anywhere.
bool ReadSmallRegularFile(const std::string &File, std::string &Text) {
    const int fd = ::open(File.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok =
        ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= off_t(MaxLockSize);
    char buffer[MaxLockSize + 1];
    std::size_t used = 0;
    // One byte more than allowed tells a file that grew since fstat.
    while (ok && used < sizeof buffer) {
        const ssize_t got = ::read(fd, buffer + used, sizeof buffer - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        used += std::size_t(got);
    }
    ::close(fd);
    if (!ok || used > MaxLockSize)
        return false;
    Text.assign(buffer, used);
    return true;
}

} // namespace

std::string ThisHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "localhost";
    return name;
}

bool ProcessAlive(long Pid) {
    if (Pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(Pid), 0) == 0 || errno == EPERM;
}

TLockOwner ThisProcessOwner() {
    return {static_cast<long>(::getpid()), ThisHostName()};
}

bool IsStaleLock(const TLockOwner &Owner, bool Readable) {
    if (!Readable)
        return true;
    return Owner.Host == ThisHostName() && !ProcessAlive(Owner.Pid);
}

std::string LockFileName(const std::string &Document) {
    return Document + ".lock";
}

bool ReadLockOwner(const std::string &LockFile, TLockOwner &Owner) {
    std::string text;
    if (!ReadSmallRegularFile(LockFile, text))
        return false;
    // The two lines as getline reads them: the second may lack its line end.
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string::npos || firstEnd + 1 == text.size())
        return false;
    const std::string pid = text.substr(0, firstEnd);
    const std::size_t hostEnd = text.find('\n', firstEnd + 1);
    TLockOwner read;
    read.Host = text.substr(firstEnd + 1, hostEnd == std::string::npos ? std::string::npos
                                                                       : hostEnd - firstEnd - 1);
    try {
        std::size_t used = 0;
        read.Pid = std::stol(pid, &used);
        if (used != pid.size() || read.Pid <= 0)
            return false;
    } catch (...) {
        return false;
    }
    Owner = read;
    return true;
}

TDocumentLock::TOutcome TDocumentLock::Acquire(const std::string &Document, bool Force,
                                               TLockOwner &Holder) {
    Release();
    const std::string file = LockFileName(Document);
    const TLockOwner self = ThisProcessOwner();
    // Two rounds: the second after a stale lock was removed.
    for (int round = 0; round < 2; ++round) {
        const int error = CreateExclusive(file, OwnerText(self));
        if (error == 0) {
            File = file;
            Hold(File);
            return TOutcome::Acquired;
        }
        if (error != EEXIST)
            return TOutcome::Unavailable;
        TLockOwner owner;
        const bool readable = ReadLockOwner(file, owner);
        if (readable && owner == self) {
            File = file;
            Hold(File);
            return TOutcome::Acquired;
        }
        if (!Force && !IsStaleLock(owner, readable)) {
            Holder = owner;
            return TOutcome::HeldByOther;
        }
        if (Force) {
            // Replaced in one step: there is no moment without a lock file.
            const std::string temp = file + "." + std::to_string(self.Pid) + ".new";
            if (WriteTemporary(temp, OwnerText(self)) == 0 &&
                ::rename(temp.c_str(), file.c_str()) == 0) {
                File = file;
                Hold(File);
                return TOutcome::Acquired;
            }
            ::unlink(temp.c_str());
            return TOutcome::Unavailable;
        }
        ::unlink(file.c_str());
    }
    return TOutcome::Unavailable;
}

void TDocumentLock::Release() {
    if (File.empty())
        return;
    TLockOwner owner;
    if (LetGo(File) && ReadLockOwner(File, owner) && owner == ThisProcessOwner())
        ::unlink(File.c_str());
    File.clear();
}
