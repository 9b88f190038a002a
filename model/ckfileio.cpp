#include "model/ckfileio.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// German texts for the failures a user can do something about; strerror for the rest.
std::string ErrorText(int Error) {
    switch (Error) {
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Speicherplatz frei.";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert.";
    case ENOENT:
        return "Der Ordner oder die Datei existiert nicht.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case EROFS:
        return "Das Dateisystem ist schreibgesch\xFCtzt.";
    case EISDIR:
        return "Der Name bezeichnet einen Ordner.";
    case ENAMETOOLONG:
        return "Der Dateiname ist zu lang.";
    case EIO:
        return "Ein-/Ausgabefehler.";
    default:
        return std::string("Systemfehler: ") + std::strerror(Error);
    }
}

bool WriteAll(int Fd, const std::string &Data) {
    const char *p = Data.data();
    size_t left = Data.size();
    while (left > 0) {
        const ssize_t n = ::write(Fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string &Path) {
    const size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// The file a save really replaces: symbolic links are followed, so the link stays a link.
std::string ResolveTarget(const std::string &FileName) {
    std::string path = FileName;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
        if (n <= 0)
            return path;
        const std::string link(buffer, static_cast<size_t>(n));
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return path;
}

mode_t DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string FileTooLargeText(uint64_t Size) {
    const auto grouped = [](uint64_t N) {
        std::string digits = std::to_string(N);
        for (size_t i = digits.size(); i > 3; i -= 3)
            digits.insert(i - 3, 1, '.');
        return digits;
    };
    return "Die Datei ist mit " + grouped(Size) +
           " Bytes zu gro\xDF; h\xF6"
           "chstens " +
           grouped(MaxDocumentBytes) + " Bytes sind m\xF6glich.";
}

bool ReadWholeFile(const std::string &FileName, std::string &Data, bool &Missing,
                   std::string &Reason) {
    Data.clear();
    Missing = false;
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) {
            Missing = true;
            return true;
        }
        Reason = ErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        Reason = ErrorText(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        Reason = S_ISDIR(st.st_mode) ? ErrorText(EISDIR)
                                     : "Der Name bezeichnet keine gew\xF6hnliche Datei, sondern "
                                       "ein Ger\xE4t oder eine Pipe.";
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > MaxDocumentBytes) {
        ::close(fd);
        Reason = FileTooLargeText(static_cast<uint64_t>(st.st_size));
        return false;
    }
    if (st.st_size > 0)
        Data.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Reason = ErrorText(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        // A file that grows while it is read, or reports no size, meets the limit here.
        if (Data.size() + static_cast<size_t>(n) > MaxDocumentBytes) {
            ::close(fd);
            Reason = FileTooLargeText(Data.size() + static_cast<size_t>(n));
            Data.clear();
            return false;
        }
        Data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomic(const std::string &FileName, const std::string &Data, std::string &Reason) {
    const std::string target = ResolveTarget(FileName);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        Reason = ErrorText(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe cannot be replaced by renaming; write into it.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0 || !WriteAll(fd, Data)) {
            Reason = ErrorText(errno);
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        ::close(fd);
        return true;
    }

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        Reason = ErrorText(errno);
        return false;
    }
    auto fail = [&](int Error) {
        ::close(fd);
        ::unlink(temp.c_str());
        Reason = ErrorText(Error);
        return false;
    };
    if (!WriteAll(fd, Data))
        return fail(errno);
    if (::fchmod(fd, exists ? (st.st_mode & 07777) : DefaultMode()) != 0)
        return fail(errno);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Reason = ErrorText(error);
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Reason = ErrorText(error);
        return false;
    }
    // Make the rename itself durable.
    const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
