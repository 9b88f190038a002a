// The lock file beside a document: who holds it, when it is stale, and that a copy of the
// program only ever removes its own.

#include "app/doclock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path &P) {
    std::ifstream in(P);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteText(const fs::path &P, const std::string &Text) {
    std::ofstream(P, std::ios::trunc) << Text;
}

// A process id that surely names no running process: a child that has ended and been reaped.
long DeadPid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// The peak memory of this process since the last ResetPeakMemory, in kB.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
long PeakMemoryKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// Unless stopped within two seconds, opens the lock for writing again and again, which frees
// each reader hanging in the open() of a FIFO; it tells whether reading took that long.
class TSlowReadWatch {
public:
    explicit TSlowReadWatch(fs::path Fifo)
        : Path(std::move(Fifo)), Thread([this] {
              std::unique_lock<std::mutex> lock(Mutex);
              auto wait = std::chrono::milliseconds(2000);
              while (!Wake.wait_for(lock, wait, [this] { return Stop; })) {
                  const int fd = ::open(Path.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      Slow = true;
                      ::close(fd);
                  }
                  wait = std::chrono::milliseconds(50);
              }
          }) {}
    // Answers whether two seconds went by before this was called.
    bool Finish() {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            Stop = true;
        }
        Wake.notify_one();
        Thread.join();
        return Slow;
    }

private:
    fs::path Path;
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Stop = false, Slow = false;
    std::thread Thread;
};

class DocLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("chronark-lock-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        Doc = (Dir / "doc.ckx").string();
        LockPath = Dir / "doc.ckx.lock";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(Dir, fs::perms::owner_all, ec);
        fs::remove_all(Dir, ec);
    }
    std::string Self() const { return std::to_string(::getpid()) + "\n" + ThisHostName() + "\n"; }

    fs::path Dir, LockPath;
    std::string Doc;
};

TEST_F(DocLockTest, AFreeDocumentIsLockedWithPidAndHostAndFreedAgain) {
    EXPECT_EQ(LockFileName(Doc), Doc + ".lock");
    TDocumentLock Lock;
    TLockOwner Holder;
    ASSERT_EQ(Lock.Acquire(Doc, false, Holder), TDocumentLock::TOutcome::Acquired);
    EXPECT_TRUE(Lock.Held());
    EXPECT_EQ(ReadText(LockPath), Self());
    Lock.Release();
    EXPECT_FALSE(fs::exists(LockPath));
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 0)
        << "no temporary file is left beside it";
}

TEST_F(DocLockTest, ExistingLocksAreHonouredOrReplacedByWhatTheyName) {
    const std::string host = ThisHostName();
    struct Case {
        const char *name;
        std::string content;
        bool held;
    } cases[] = {
        {"a running process here", std::to_string(::getppid()) + "\n" + host + "\n", true},
        {"a process here that has ended", std::to_string(DeadPid()) + "\n" + host + "\n", false},
        {"a process on another machine", std::to_string(DeadPid()) + "\nanderswo\n", true},
        {"an empty file (cut off while written)", "", false},
        {"no number", "abc\n" + host + "\n", false},
        {"this very process", Self(), false},
    };
    for (const Case &c : cases) {
        WriteText(LockPath, c.content);
        TDocumentLock Lock;
        TLockOwner Holder;
        const auto Result = Lock.Acquire(Doc, false, Holder);
        if (c.held) {
            EXPECT_EQ(Result, TDocumentLock::TOutcome::HeldByOther) << c.name;
            EXPECT_EQ(ReadText(LockPath), c.content) << c.name << ": left as it was";
            TLockOwner Read;
            ASSERT_TRUE(ReadLockOwner(LockPath.string(), Read)) << c.name;
            EXPECT_EQ(Holder, Read) << c.name;
        } else {
            EXPECT_EQ(Result, TDocumentLock::TOutcome::Acquired) << c.name;
            EXPECT_EQ(ReadText(LockPath), Self()) << c.name;
        }
        Lock.Release();
        std::error_code ec;
        fs::remove(LockPath, ec);
    }
}

TEST_F(DocLockTest, OpeningAnywayTakesTheLockOverAndTheFormerHolderLeavesIt) {
    const std::string other = std::to_string(::getppid()) + "\n" + ThisHostName() + "\n";
    WriteText(LockPath, other);
    TDocumentLock Lock;
    TLockOwner Holder;
    ASSERT_EQ(Lock.Acquire(Doc, true, Holder), TDocumentLock::TOutcome::Acquired);
    EXPECT_EQ(ReadText(LockPath), Self());
    // The other copy takes it back; this one's release must not remove that lock.
    WriteText(LockPath, other);
    Lock.Release();
    EXPECT_EQ(ReadText(LockPath), other);
}

TEST_F(DocLockTest, TwoHoldersInOneProcessKeepTheFileUntilTheLastLetsGo) {
    TLockOwner Holder;
    auto First = std::make_unique<TDocumentLock>();
    auto Second = std::make_unique<TDocumentLock>();
    ASSERT_EQ(First->Acquire(Doc, false, Holder), TDocumentLock::TOutcome::Acquired);
    ASSERT_EQ(Second->Acquire(Doc, false, Holder), TDocumentLock::TOutcome::Acquired);
    First.reset();
    EXPECT_TRUE(fs::exists(LockPath)) << "the second holder still has the document";
    Second.reset();
    EXPECT_FALSE(fs::exists(LockPath));
}

TEST_F(DocLockTest, AFolderWithoutWriteAccessNeedsNoLock) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
    TDocumentLock Lock;
    TLockOwner Holder;
    EXPECT_EQ(Lock.Acquire(Doc, false, Holder), TDocumentLock::TOutcome::Unavailable);
    EXPECT_FALSE(Lock.Held());
}

TEST_F(DocLockTest, LivenessIsOnlyJudgedOnThisMachine) {
    EXPECT_TRUE(ProcessAlive(::getpid()));
    EXPECT_FALSE(ProcessAlive(DeadPid()));
    EXPECT_FALSE(ProcessAlive(0));
    EXPECT_FALSE(IsStaleLock({long(::getpid()), ThisHostName()}, true));
    EXPECT_TRUE(IsStaleLock({DeadPid(), ThisHostName()}, true));
    EXPECT_FALSE(IsStaleLock({DeadPid(), "anderswo"}, true));
    EXPECT_TRUE(IsStaleLock({}, false));
}

TEST_F(DocLockTest, ALockThatIsNoSmallRegularFileIsUnreadableAndNeverWaitedFor) {
    const fs::path Target = Dir / "other.lock";
    const std::string Other = std::to_string(::getppid()) + "\n" + ThisHostName() + "\n";
    constexpr off_t ThreeGb = off_t(3) << 30;
    struct Case {
        const char *name;
        std::function<bool()> make;
    } cases[] = {
        {"a FIFO", [&] { return ::mkfifo(LockPath.c_str(), 0644) == 0; }},
        {"3 GB without a line end",
         [&] {
             WriteText(LockPath, "");
             return ::truncate(LockPath.c_str(), ThreeGb) == 0;
         }},
        {"a running holder's lines followed by 3 GB",
         [&] {
             WriteText(LockPath, Other);
             return ::truncate(LockPath.c_str(), ThreeGb) == 0;
         }},
        {"a link to a running holder's lock",
         [&] {
             WriteText(Target, Other);
             return ::symlink(Target.c_str(), LockPath.c_str()) == 0;
         }},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(c.make()) << c.name << ": " << std::strerror(errno);
        TSlowReadWatch Watch(LockPath);
        ResetPeakMemory();
        const long MemoryBefore = PeakMemoryKb();
        TLockOwner Read;
        EXPECT_FALSE(ReadLockOwner(LockPath.string(), Read)) << c.name;
        // Unreadable, so counted as stale: replaced by this process's own lock.
        TDocumentLock Lock;
        TLockOwner Holder;
        EXPECT_EQ(Lock.Acquire(Doc, false, Holder), TDocumentLock::TOutcome::Acquired) << c.name;
        EXPECT_FALSE(Watch.Finish()) << c.name << ": reading hung or took seconds";
        EXPECT_LT(PeakMemoryKb() - MemoryBefore, 16 * 1024) << c.name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(LockPath))) << c.name;
        EXPECT_EQ(ReadText(LockPath), Self()) << c.name;
        Lock.Release();
        EXPECT_FALSE(fs::exists(fs::symlink_status(LockPath))) << c.name;
        if (fs::exists(Target)) {
            EXPECT_EQ(ReadText(Target), Other) << c.name << ": a link's target is left alone";
            fs::remove(Target);
        }
    }
}

TEST_F(DocLockTest, ALinkUnderATemporaryNameNeverHasItsTargetOverwritten) {
    const fs::path Victim = Dir / "wertvoll.txt";
    const std::string Other = std::to_string(::getppid()) + "\n" + ThisHostName() + "\n";
    const std::string Pid = std::to_string(::getpid());
    const struct {
        const char *name;
        const char *suffix; // of the temporary file the lock is written into
        bool force, heldBefore;
    } rows[] = {
        {"taking a free lock", ".tmp", false, false},
        {"opening anyway over a live holder", ".new", true, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteText(Victim, "Daten\n");
        if (row.heldBefore)
            WriteText(LockPath, Other);
        const fs::path Temp = LockPath.string() + "." + Pid + row.suffix;
        fs::create_symlink(Victim, Temp);
        TDocumentLock Lock;
        TLockOwner Holder;
        EXPECT_EQ(Lock.Acquire(Doc, row.force, Holder), TDocumentLock::TOutcome::Acquired);
        EXPECT_EQ(ReadText(Victim), "Daten\n");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(LockPath)));
        EXPECT_EQ(ReadText(LockPath), Self());
        EXPECT_FALSE(fs::exists(fs::symlink_status(Temp)));
        Lock.Release();
    }
}

TEST_F(DocLockTest, OwnerLinesAreReadAsTheyWereWritten) {
    const struct {
        const char *name;
        std::string content;
        bool readable;
        TLockOwner owner;
    } rows[] = {
        {"both lines", "42\nrechner\n", true, {42, "rechner"}},
        {"host without its line end", "42\nrechner", true, {42, "rechner"}},
        {"an empty host", "42\n\n", true, {42, ""}},
        {"only the process", "42\n", false, {}},
        {"no line end at all", "42", false, {}},
        {"just under the size limit",
         "42\n" + std::string(500, 'h') + "\n",
         true,
         {42, std::string(500, 'h')}},
        {"over the size limit", "42\n" + std::string(600, 'h') + "\n", false, {}},
    };
    for (const auto &row : rows) {
        WriteText(LockPath, row.content);
        TLockOwner Read{-1, "vorher"};
        EXPECT_EQ(ReadLockOwner(LockPath.string(), Read), row.readable) << row.name;
        if (row.readable)
            EXPECT_EQ(Read, row.owner) << row.name;
        else
            EXPECT_EQ(Read, (TLockOwner{-1, "vorher"})) << row.name << ": left as it was";
    }
    fs::remove(LockPath);
    TLockOwner Read;
    EXPECT_FALSE(ReadLockOwner(LockPath.string(), Read)) << "no file";
}

} // namespace
