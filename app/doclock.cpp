#include "app/doclock.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
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

// Creates File holding Text only when no file of that name exists. The text goes into a
// temporary file first and is linked to the name, so a reader never sees it half written;
// where the file system has no links it is created exclusively and written.
int CreateExclusive(const std::string &File, const std::string &Text) {
    const std::string temp = File + "." + std::to_string(::getpid()) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    const bool written = ::write(fd, Text.data(), Text.size()) == ssize_t(Text.size());
    ::close(fd);
    int error = 0;
    if (!written)
        error = EIO;
    else if (::link(temp.c_str(), File.c_str()) != 0)
        error = errno;
    ::unlink(temp.c_str());
    if (error != EPERM && error != ENOTSUP && error != ENOSYS)
        return error;
    fd = ::open(File.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    error = ::write(fd, Text.data(), Text.size()) == ssize_t(Text.size()) ? 0 : EIO;
    ::close(fd);
    return error;
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
    std::ifstream in(LockFile);
    if (!in)
        return false;
    TLockOwner read;
    std::string pid;
    if (!std::getline(in, pid) || !std::getline(in, read.Host))
        return false;
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

TDocumentLock::TResult TDocumentLock::Acquire(const std::string &Document, bool Force,
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
            return TResult::Acquired;
        }
        if (error != EEXIST)
            return TResult::Unavailable;
        TLockOwner owner;
        const bool readable = ReadLockOwner(file, owner);
        if (readable && owner == self) {
            File = file;
            Hold(File);
            return TResult::Acquired;
        }
        if (!Force && !IsStaleLock(owner, readable)) {
            Holder = owner;
            return TResult::HeldByOther;
        }
        if (Force) {
            // Replaced in one step: there is no moment without a lock file.
            const std::string temp = file + "." + std::to_string(self.Pid) + ".new";
            std::ofstream out(temp, std::ios::trunc);
            out << OwnerText(self);
            out.close();
            if (out && ::rename(temp.c_str(), file.c_str()) == 0) {
                File = file;
                Hold(File);
                return TResult::Acquired;
            }
            ::unlink(temp.c_str());
            return TResult::Unavailable;
        }
        ::unlink(file.c_str());
    }
    return TResult::Unavailable;
}

void TDocumentLock::Release() {
    if (File.empty())
        return;
    TLockOwner owner;
    if (LetGo(File) && ReadLockOwner(File, owner) && owner == ThisProcessOwner())
        ::unlink(File.c_str());
    File.clear();
}
