// orva at a terminal: line editing, history and completion, driven through
// a pseudo-terminal as a user would type.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "harness.h"

namespace orvatest {
namespace {

// orva on the slave side of a pseudo-terminal in `dir`, with HOME set to
// `home`. Type() sends keys; WaitFor() reads the screen output until a text
// appears after everything already waited for.
class TerminalSession {
public:
    TerminalSession(const fs::path& dir, const fs::path& home) {
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0)
                _exit(127);
            setenv("HOME", home.c_str(), 1);
            setenv("TERM", "vt100", 1);
            execl(OrvaBinary().c_str(), "orva", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (pid_ > 0 && !fExited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0)
            close(master_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool Started() const { return pid_ > 0 && master_ >= 0; }

    // Keys typed while the terminal is still in line mode (between two
    // command lines) would be read by the terminal's own line discipline
    // (Ctrl-R reprints the line there), so wait until the line editor has
    // switched it to character mode.
    void Type(const std::string& keys) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        termios mode{};
        while (tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) &&
               std::chrono::steady_clock::now() < deadline)
            usleep(1000);
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // True when `text` shows within thirty seconds.
    bool WaitFor(const std::string& text) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            std::size_t at = screen_.find(text, seen_);
            if (at != std::string::npos) {
                seen_ = at + text.size();
                return true;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count())))
                return false;
        }
    }

    // The exit status once the program ends, -1 when it does not.
    int Finish() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                fExited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ReadSome(50);
        }
        return -1;
    }

    const std::string& Screen() const { return screen_; }

private:
    bool ReadSome(int nMilliseconds) {
        pollfd poll_fd{master_, POLLIN, 0};
        if (poll(&poll_fd, 1, nMilliseconds) <= 0)
            return false;
        char buffer[4096];
        ssize_t cb = read(master_, buffer, sizeof buffer);
        if (cb <= 0)
            return false;
        screen_.append(buffer, static_cast<std::size_t>(cb));
        return true;
    }

    int master_ = -1;
    pid_t pid_ = -1;
    bool fExited_ = false;
    std::string screen_;
    std::size_t seen_ = 0;
};

const std::string kPrompt = "ORVA>";
const std::string kUp = "\x1b[A";
const std::string kLeft = "\x1b[D";

class Terminal : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(home / "h");
        // A disk whose name the prefix alone would not find, one whose name
        // holds a blank, and an OS/8 file to complete.
        WriteFile(dir / "hello.txt", "hello from the disk\n");
        ASSERT_EQ(RunOrva(dir.path(), "MOUNT /RX01 /INITIALIZE longname-disk\nWRITE hello.txt\n").status, 0);
        fs::copy_file(dir / "longname-disk.rx1", dir / "my disk.rx1");
    }
    TempDir dir;
    TempDir home;
};

TEST_F(Terminal, CompletesCommandsQualifiersHostFilesAndOS8Names) {
    TerminalSession session(dir.path(), home / "h");
    ASSERT_TRUE(session.Started());
    ASSERT_TRUE(session.WaitFor(kPrompt)) << session.Screen();
    // Command word and qualifier, then a host file: "/vir" alone is no
    // qualifier, "longn" names no file. (libedit redraws the line as it
    // completes, so the effects tell what was completed.)
    session.Type("mou\t/rx01 /vir\tlongn\t\r");
    ASSERT_TRUE(session.WaitFor("mounted virtual disk on file longname-disk.rx1")) << session.Screen();
    ASSERT_TRUE(session.WaitFor(kPrompt));
    // An OS/8 name of the mounted unit: "HEL" alone matches no file.
    session.Type("TYPE HEL\t\r");
    ASSERT_TRUE(session.WaitFor("hello from the disk")) << session.Screen();
    ASSERT_TRUE(session.WaitFor(kPrompt));
    // A folder under "~/" is completed and left open for the name.
    fs::create_directory(home / "h" / "outbox");
    session.Type("READ HELLO.TX ~/out\t\r");
    ASSERT_TRUE(session.WaitFor("read HELLO.TX into ASCII file ~/outbox/HELLO.TX")) << session.Screen();
    ASSERT_TRUE(session.WaitFor(kPrompt));
    EXPECT_EQ(ReadFile(home / "h" / "outbox" / "HELLO.TX"), "hello from the disk\n");
    // A quoted host file name with a blank in it is completed and closed.
    session.Type("MOUNT /RX01 /READ_O\t\"my\t\r");
    ASSERT_TRUE(session.WaitFor("mounted virtual disk on file my disk.rx1")) << session.Screen();
    ASSERT_TRUE(session.WaitFor(kPrompt));
    session.Type("EXIT\r");
    EXPECT_EQ(session.Finish(), 0) << session.Screen();
}

TEST_F(Terminal, EditsLinesAndKeepsTheHistory) {
    {
        TerminalSession session(dir.path(), home / "h");
        ASSERT_TRUE(session.Started());
        ASSERT_TRUE(session.WaitFor(kPrompt)) << session.Screen();
        // Left arrow and Ctrl-A move the cursor; the keys typed go there.
        session.Type("MOUNT /RX01 longname-disk\r");
        ASSERT_TRUE(session.WaitFor(kPrompt)) << session.Screen();
        session.Type("IR/BRIF" + kLeft + "E\x01" + "D\r");
        ASSERT_TRUE(session.WaitFor("HELLO.TX")) << session.Screen();
        ASSERT_TRUE(session.WaitFor("Total of 1 files.")) << session.Screen();
        ASSERT_TRUE(session.WaitFor(kPrompt));
        // Up brings the last line back.
        session.Type(kUp + "\r");
        ASSERT_TRUE(session.WaitFor("Total of 1 files.")) << session.Screen();
        ASSERT_TRUE(session.WaitFor(kPrompt));
        session.Type("EXIT\r");
        EXPECT_EQ(session.Finish(), 0) << session.Screen();
    }
    std::string history = ReadFile(home / "h" / ".orva_history");
    EXPECT_NE(history.find("DIR/BRIEF"), std::string::npos) << history;
    {
        // The next run finds the history: Ctrl-R searches it.
        TerminalSession session(dir.path(), home / "h");
        ASSERT_TRUE(session.Started());
        ASSERT_TRUE(session.WaitFor(kPrompt)) << session.Screen();
        session.Type("MOUNT /RX01 longname-disk\r");
        ASSERT_TRUE(session.WaitFor(kPrompt)) << session.Screen();
        session.Type("\x12/BRI\r");
        ASSERT_TRUE(session.WaitFor("Total of 1 files.")) << session.Screen();
        ASSERT_TRUE(session.WaitFor(kPrompt));
        session.Type("\x04");  // end of input
        EXPECT_EQ(session.Finish(), 0) << session.Screen();
    }
}

}  // namespace
}  // namespace orvatest
