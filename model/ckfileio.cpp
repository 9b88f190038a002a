#include "model/ckfileio.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// German texts for every failure the system calls used here can report.
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
    case EXDEV:
        return "Die Datei liegt auf einem anderen Laufwerk als ihr Ordner.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade benutzt.";
    case ELOOP:
        return "Zu viele symbolische Verkn\xFCpfungen im Pfad.";
    case EFBIG:
        return "Die Datei ist zu gro\xDF.";
    case EMLINK:
        return "Der Ordner enth\xE4lt zu viele Eintr\xE4ge.";
    case EEXIST:
        return "Die Datei existiert bereits.";
    case ENOMEM:
        return "Nicht gen\xFCgend Arbeitsspeicher.";
    case EMFILE:
    case ENFILE:
        return "Zu viele ge\xF6"
               "ffnete Dateien.";
    case EAGAIN:
    case EINTR:
        return "Der Vorgang wurde unterbrochen.";
    case ENXIO:
    case ENODEV:
        return "Das Ger\xE4t ist nicht verf\xFCgbar.";
    case ESTALE:
    case ETIMEDOUT:
    case ENOLCK:
        return "Das Netzlaufwerk antwortet nicht oder nicht mehr.";
    case EINVAL:
    case EOPNOTSUPP:
        return "Das Dateisystem unterst\xFCtzt den Vorgang nicht.";
    case EPIPE:
        return "Die Gegenseite hat die Verbindung geschlossen.";
    case EOVERFLOW:
        return "Die Datei ist zu gro\xDF f\xFCr diesen Vorgang.";
    case EBADF:
    case EFAULT:
    default:
        return "Systemfehler Nr. " + std::to_string(Error) + ".";
    }
}

bool IsPermissionError(int Error) {
    return Error == EACCES || Error == EPERM;
}

TStatus StatusOf(int Error) {
    switch (Error) {
    case ENOENT:
    case ENOTDIR:
        return TStatus::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return TStatus::AccessDenied;
    case EISDIR:
        return TStatus::NotAFile;
    case EFBIG:
    case EOVERFLOW:
        return TStatus::TooLarge;
    case ENOMEM:
        return TStatus::OutOfMemory;
    default:
        return TStatus::SystemError;
    }
}

// The failure a system call reported, in German.
TResult SystemFailure(int Error) {
    return TResult::Failure(StatusOf(Error), ErrorText(Error));
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

TFileStamp StampOf(const struct stat &St) {
    TFileStamp stamp;
    stamp.Exists = true;
    stamp.Device = static_cast<uint64_t>(St.st_dev);
    stamp.Inode = static_cast<uint64_t>(St.st_ino);
    stamp.Size = static_cast<int64_t>(St.st_size);
    stamp.ModifiedNs = static_cast<int64_t>(St.st_mtim.tv_sec) * 1000000000 + St.st_mtim.tv_nsec;
    return stamp;
}

// Temporary files of a save are named ".chronark-" + six letters or digits + ".tmp": short,
// so that a name at the length limit can still be saved, and recognisably ours.
constexpr char TempPrefix[] = ".chronark-";
constexpr char TempSuffix[] = ".tmp";
constexpr size_t TempRandomLength = 6;
// Older than this, a temporary file of ours belongs to no save still running.
constexpr time_t StaleSeconds = 3600;

bool IsOurTemporary(const char *Name) {
    const size_t prefix = sizeof TempPrefix - 1, suffix = sizeof TempSuffix - 1;
    if (std::strlen(Name) != prefix + TempRandomLength + suffix ||
        std::strncmp(Name, TempPrefix, prefix) != 0 ||
        std::strcmp(Name + prefix + TempRandomLength, TempSuffix) != 0)
        return false;
    for (size_t i = prefix; i < prefix + TempRandomLength; ++i)
        if (!std::isalnum(static_cast<unsigned char>(Name[i])))
            return false;
    return true;
}

std::string RandomTempName() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 rng{std::random_device{}() ^ static_cast<uint64_t>(::getpid()) << 32};
    std::string name = TempPrefix;
    for (size_t i = 0; i < TempRandomLength; ++i)
        name += letters[rng() % (sizeof letters - 1)];
    return name + TempSuffix;
}

// The file a save writes before it replaces the target. Where the file system allows, it has
// no name until it is complete, so a crash while writing leaves nothing behind.
struct TTemporary {
    int Fd = -1;
    std::string Path; // empty while unnamed
    bool Unnamed = false;

    ~TTemporary() { Discard(); }

    // 0 or the errno.
    int Create(const std::string &Folder, bool AllowUnnamed) {
        Unnamed = false;
#ifdef O_TMPFILE
        if (AllowUnnamed && !FileIoTestHooks.NoUnnamedTemporaries) {
            Fd = ::open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            Unnamed = Fd >= 0;
            if (Fd >= 0)
                return 0;
            // Only a file system without unnamed files is worth the second way.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return errno;
        }
#endif
        std::string path =
            Folder + "/" + TempPrefix + std::string(TempRandomLength, 'X') + TempSuffix;
        Fd = ::mkstemps(path.data(), sizeof TempSuffix - 1);
        if (Fd < 0)
            return errno;
        Path = path;
        return 0;
    }

    // Gives a complete unnamed file its name for the rename; 0 or the errno.
    int Name(const std::string &Folder) {
        if (!Path.empty())
            return 0;
        const std::string self = "/proc/self/fd/" + std::to_string(Fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string path = Folder + "/" + RandomTempName();
            int linked =
                ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
            if (linked != 0 && errno == ENOENT)
                linked = ::linkat(Fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH);
#endif
            if (linked == 0) {
                Path = path;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    void Discard() {
        if (Fd >= 0)
            ::close(Fd);
        Fd = -1;
        if (!Path.empty())
            ::unlink(Path.c_str());
        Path.clear();
    }
};

// Temporary files that saves killed before their rename left behind; only the user's own.
void RemoveStaleTemporaries(const std::string &Folder) {
    DIR *dir = ::opendir(Folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        if (!IsOurTemporary(entry->d_name))
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < StaleSeconds)
            continue;
        ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// Where the system allows (root, or a group the user is in), the new file keeps the old one's
// owner and group.
void KeepOwner(int Fd, const struct stat &Old) {
    if (Old.st_uid == ::geteuid() && Old.st_gid == ::getegid())
        return;
    if (::fchown(Fd, Old.st_uid, Old.st_gid) != 0)
        (void)::fchown(Fd, static_cast<uid_t>(-1), Old.st_gid);
}

// Writes the temporary file complete, with the old file's owner and mode, flushed, named and
// closed: 0 or the errno. Created tells whether the file came into being.
int FillTemporary(TTemporary &Temp, const std::string &Folder, const std::string &Data,
                  const struct stat *Old, bool AllowUnnamed, bool &Created, TFileStamp &Written) {
    Created = false;
    if (const int error = Temp.Create(Folder, AllowUnnamed))
        return error;
    Created = true;
    if (!WriteAll(Temp.Fd, Data))
        return errno;
    // The owner first: changing it may clear the set-id bits the mode then restores.
    if (Old)
        KeepOwner(Temp.Fd, *Old);
    if (::fchmod(Temp.Fd, Old ? (Old->st_mode & 07777) : DefaultMode()) != 0)
        return errno;
    if (::fsync(Temp.Fd) != 0)
        return errno;
    struct stat written {};
    if (::fstat(Temp.Fd, &written) == 0)
        Written = StampOf(written);
    if (const int error = Temp.Name(Folder))
        return error;
    const int fd = Temp.Fd;
    Temp.Fd = -1;
    return ::close(fd) != 0 ? errno : 0;
}

// Overwrites the file itself: it keeps its identity, owner, permissions and links. Space is
// reserved before the old content is touched, so a full disk refuses the save and leaves the
// file as it was; the data is flushed before success is reported.
TResultWith<TFileStamp> WriteInPlace(const std::string &Target, const std::string &Data) {
    const int fd = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return {SystemFailure(errno)};
    auto fail = [&](int Error) -> TResultWith<TFileStamp> {
        ::close(fd);
        return {SystemFailure(Error)};
    };
#ifdef __linux__
    if (!Data.empty() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(Data.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT))
        return fail(errno);
#endif
    if (!WriteAll(fd, Data))
        return fail(errno);
    if (::ftruncate(fd, static_cast<off_t>(Data.size())) != 0)
        return fail(errno);
    if (::fsync(fd) != 0)
        return fail(errno);
    TResultWith<TFileStamp> done;
    struct stat written {};
    if (::fstat(fd, &written) == 0)
        done.Value = StampOf(written);
    if (::close(fd) != 0)
        return {SystemFailure(errno)};
    return done;
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

namespace {

std::string NotRegularText() {
    return "Der Name bezeichnet keine gew\xF6hnliche Datei, sondern ein Ger\xE4t oder eine Pipe.";
}

} // namespace

TResultWith<std::string> ReadWholeFile(const std::string &FileName) {
    TResultWith<std::string> read;
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {SystemFailure(errno)};
    const auto fail = [&](TResult Failure) {
        ::close(fd);
        read.Value.clear();
        read.Result = std::move(Failure);
        return std::move(read);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(SystemFailure(errno));
    if (!S_ISREG(st.st_mode))
        return fail(S_ISDIR(st.st_mode) ? SystemFailure(EISDIR)
                                        : TResult::Failure(TStatus::NotAFile, NotRegularText()));
    if (static_cast<uint64_t>(st.st_size) > MaxDocumentBytes)
        return fail(TResult::Failure(TStatus::TooLarge,
                                     FileTooLargeText(static_cast<uint64_t>(st.st_size))));
    std::string &data = read.Value;
    if (st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(SystemFailure(errno));
        }
        if (n == 0)
            break;
        // A file that grows while it is read, or reports no size, meets the limit here.
        if (data.size() + static_cast<size_t>(n) > MaxDocumentBytes)
            return fail(TResult::Failure(TStatus::TooLarge,
                                         FileTooLargeText(data.size() + static_cast<size_t>(n))));
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return read;
}

TFileStamp FileStampOf(const std::string &FileName) {
    TFileStamp stamp;
    struct stat st {};
    if (::stat(FileName.c_str(), &st) == 0)
        stamp = StampOf(st);
    return stamp;
}

TFileIoTestHooks FileIoTestHooks;

namespace {

std::string ProtectedText() {
    return "Die Ausgabe w\xFCrde das ge\xF6"
           "ffnete Dokument \xFC"
           "berschreiben. W\xE4hlen Sie einen anderen Dateinamen.";
}

// What a write replaces and how it stands: Path is the name written (links followed unless
// they are replaced), St its state when Exists.
struct TTarget {
    std::string Path;
    struct stat St {};
    bool Exists = false;
};

// The target, or the reason no output may replace it.
TResultWith<TTarget> InspectTarget(const std::string &FileName, const TWriteOptions &Options) {
    TResultWith<TTarget> inspected;
    TTarget &t = inspected.Value;
    t.Path = Options.ReplaceLinks ? FileName : ResolveTarget(FileName);
    t.Exists = (Options.ReplaceLinks ? ::lstat(t.Path.c_str(), &t.St)
                                     : ::stat(t.Path.c_str(), &t.St)) == 0;
    // A link in place of a file of our own is replaced as if nothing stood there.
    if (t.Exists && S_ISLNK(t.St.st_mode)) {
        t.Exists = false;
        return inspected;
    }
    if (!t.Exists)
        return inspected;
    if (S_ISDIR(t.St.st_mode))
        return {SystemFailure(EISDIR)};
    // An output is a file a program can read back; writing into a pipe would wait for a
    // reader that may never come, and renaming would replace the device itself.
    if (!S_ISREG(t.St.st_mode))
        return {TResult::Failure(TStatus::NotAFile, NotRegularText())};
    struct stat kept {};
    if (!Options.Protected.empty() && ::stat(Options.Protected.c_str(), &kept) == 0 &&
        kept.st_dev == t.St.st_dev && kept.st_ino == t.St.st_ino)
        return {TResult::Failure(TStatus::Refused, ProtectedText())};
    // Renaming over a file needs only the folder's permission: a write-protected file would
    // be replaced without a word.
    if (::faccessat(AT_FDCWD, t.Path.c_str(), W_OK, AT_EACCESS) != 0)
        return {SystemFailure(errno)};
    return inspected;
}

} // namespace

TResult CheckOutputTarget(const std::string &FileName, const TWriteOptions &Options) {
    return InspectTarget(FileName, Options).Result;
}

TResultWith<TFileStamp> WriteFileAtomic(const std::string &FileName, const std::string &Data,
                                        const TWriteOptions &Options) {
    const TResultWith<TTarget> inspected = InspectTarget(FileName, Options);
    if (!inspected.Result)
        return {inspected.Result};
    const TTarget &target = inspected.Value;
    // In place, a write would go on through every hard link of the file.
    const bool mayWriteInPlace = target.Exists && !Options.ReplaceLinks;

    const std::string folder = FolderOf(target.Path);
    const struct stat *old = target.Exists ? &target.St : nullptr;
    TResultWith<TFileStamp> written;
    TTemporary temp;
    bool created = false;
    int error = FillTemporary(temp, folder, Data, old, true, created, written.Value);
    if (error != 0 && created && temp.Unnamed) {
        // Linking the finished file failed (no /proc, say): write it once more under a name.
        temp.Discard();
        error = FillTemporary(temp, folder, Data, old, false, created, written.Value);
    }
    if (error != 0) {
        temp.Discard();
        // A folder the user may not write to: the file itself may still be writable.
        if (!created && mayWriteInPlace && IsPermissionError(error))
            return WriteInPlace(target.Path, Data);
        return {SystemFailure(error)};
    }
    if (::rename(temp.Path.c_str(), target.Path.c_str()) != 0) {
        error = errno;
        temp.Discard();
        // A sticky folder, a file mounted on its own: the file itself may still be writable.
        if (mayWriteInPlace && (IsPermissionError(error) || error == EBUSY || error == EXDEV))
            return WriteInPlace(target.Path, Data);
        return {SystemFailure(error)};
    }
    temp.Path.clear();
    // Make the rename itself durable; the file is saved either way, but the user should know
    // that a crash may still bring back the old one.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = dir < 0 ? errno : 0;
    if (dir >= 0) {
        const int synced =
            FileIoTestHooks.SyncFolder ? FileIoTestHooks.SyncFolder(dir) : ::fsync(dir);
        // Some file systems cannot sync a folder at all: nothing more to be had there.
        if (synced != 0 && errno != EINVAL && errno != EOPNOTSUPP)
            error = errno;
        ::close(dir);
    }
    if (error != 0)
        written.Result =
            TResult::Success("Der Ordner konnte nicht auf den Datentr\xE4ger geschrieben werden, "
                             "nach einem Absturz kann die vorige Fassung zur\xFC"
                             "ckkehren. " +
                             ErrorText(error));
    RemoveStaleTemporaries(folder);
    return written;
}

std::string BackupFileName(const std::string &FileName) {
    return FileName + ".bak";
}

TResult KeepBackup(const std::string &FileName, uint64_t MinBytes) {
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) < MinBytes)
        return {};
    const TResultWith<std::string> read = ReadWholeFile(FileName);
    // Read again, since it may have shrunk or gone after the look at its size.
    if (read.Result.Status() == TStatus::NotFound || (read.Result && read.Value.size() < MinBytes))
        return {};
    if (!read.Result)
        return read.Result;
    TWriteOptions options;
    // Whoever may write into the folder could have left a link at the backup's name.
    options.ReplaceLinks = true;
    return WriteFileAtomic(BackupFileName(FileName), read.Value, options).Result;
}
