#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A quit signal must end the program quickly whatever state its settings
// file is in: a "could not save" box may be open, and every save at the end
// fails or finds the file locked by another process.
struct QuitCase {
    const char* name;
    void (*prepare)(const std::string& settings);
    friend void PrintTo(const QuitCase& row, std::ostream* out) { *out << row.name; }
};

void folderAtThePath(const std::string& settings) {
    fs::create_directory(settings);
}

void readOnlyFile(const std::string& settings) {
    std::ofstream(settings) << "[Corvane]\r\nProgramPath=/tmp\r\n";
    ::chmod(settings.c_str(), 0444);
}

// Held by a child that never lets go, the way a hung or stopped Corvane would.
pid_t g_holder = -1;
void lockedByAnotherProcess(const std::string& settings) {
    std::ofstream(settings) << "[Corvane]\r\nProgramPath=/tmp\r\n";
    const std::string lockPath = settings + ".lock";
    g_holder = ::fork();
    if (g_holder == 0) {
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        ::flock(fd, LOCK_EX);
        ::pause();
        ::_exit(0);
    }
    // Until the child holds it, the program could still take it.
    const auto deadline = Clock::now() + milliseconds(2000);
    while (Clock::now() < deadline) {
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
        const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (fd >= 0) {
            ::close(fd);
        }
        if (held) {
            return;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
}

class SettingsQuitTest : public ::testing::TestWithParam<QuitCase> {};

TEST_P(SettingsQuitTest, AQuitSignalEndsTheProgramWithinASecond) {
    if (GetParam().prepare == readOnlyFile && ::geteuid() == 0) {
        GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    char folder[] = "/tmp/corvane-quit-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string settings = std::string(folder) + "/CORVANE.INI";
    GetParam().prepare(settings);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(CORVANE_PROGRAM, CORVANE_PROGRAM, "--settings", settings.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Time to start, meet the file and open whatever box it opens.
    std::this_thread::sleep_for(milliseconds(2000));
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the program ended by itself";
    ::kill(pid, SIGTERM);
    const auto sent = Clock::now();
    pid_t ended = 0;
    while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() - sent < milliseconds(5000)) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - sent);
    if (ended == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    if (g_holder > 0) {
        ::kill(g_holder, SIGKILL);
        ::waitpid(g_holder, nullptr, 0);
        g_holder = -1;
    }
    EXPECT_LT(took.count(), 1000) << "after SIGTERM";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal's shut-down, not killed";
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder, ignored);
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, SettingsQuitTest,
                         ::testing::Values(QuitCase{"FolderAtThePath", folderAtThePath},
                                           QuitCase{"ReadOnlyFile", readOnlyFile},
                                           QuitCase{"LockedByAnotherProcess", lockedByAnotherProcess}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
