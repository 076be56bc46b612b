// What an interrupted render or a broken plug-in leaves behind: no temporary
// files after SIGINT, SIGTERM or SIGHUP, and no dead tool when a plug-in is
// cut short, crashes or hangs while loading.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/tools/cli_run.h"

namespace {

bool partialFileIn(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (cli::contains(entry.path().filename().string(), ".partial-")) return true;
    return false;
}

TEST(RenderLeftovers, InterruptsAndBrokenPluginsLeaveNothingBehind) {
    cli::TempFolder dir;
    const std::string old = "the take from yesterday";
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        {
            FILE* f = std::fopen((dir / "out.wav").c_str(), "wb");
            std::fputs(old.c_str(), f);
            std::fclose(f);
        }
        // Raw audio through a pipe the test holds open: the render is
        // mid-way, its temporary file there, when the signal comes.
        int feed[2];
        ASSERT_EQ(pipe(feed), 0);
        const std::string log = dir / "stderr.txt";
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(feed[0], STDIN_FILENO);
            close(feed[1]);
            int err = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            dup2(err, STDOUT_FILENO);
            if (chdir(dir.path.c_str()) != 0) _exit(99);
            signal(signalNumber, SIG_DFL);
            execl(VORSA_RENDER, VORSA_RENDER, TEST_DELAY_PLUGIN, "-", "out.wav", "--raw", "44100:1", "--quiet",
                  static_cast<char*>(nullptr));
            _exit(98);
        }
        close(feed[0]);
        std::vector<float> block(44100, 0.25f);
        bool started = false;
        for (int wait = 0; wait < 200 && !started; ++wait) {
            ASSERT_EQ(write(feed[1], block.data(), block.size() * sizeof(float)),
                      static_cast<ssize_t>(block.size() * sizeof(float)));
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            started = partialFileIn(dir.path);
        }
        ASSERT_TRUE(started) << "no temporary file appeared";
        kill(child, signalNumber);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(feed[1]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        const std::string said = cli::readBytes(log);
        EXPECT_TRUE(cli::contains(said, "vorsa-render: interrupted; nothing was written to out.wav")) << said;
        std::filesystem::remove(log);
        EXPECT_FALSE(partialFileIn(dir.path));
        EXPECT_EQ(cli::readBytes(dir / "out.wav"), old);
    }

    // A folder of plug-ins with one cut short, one crashing and one hanging
    // while loading: each is reported, and the good one after them is listed.
    const std::string built = std::string(TEST_PLUGIN_DIR) + "/";
    ASSERT_EQ(cli::shell("mkdir plugins && head -c 5000 " + built + "Test_Echo.so > plugins/a_cut.so && cp " + built +
                             "Test_Crash.so plugins/b_crash.so && cp " + built + "Test_Hang.so plugins/c_hang.so && cp " +
                             built + "Test_Echo.so plugins/d_echo.so",
                         dir.path)
                  .status,
              0);
    struct Case {
        std::string command;
        std::vector<std::string> messages;
    } cases[] = {
        {std::string(VORSA_INFO) + " --timeout 1 --identity plugins",
         {"cannot load plugins/a_cut.so: the file is cut short: 5000 bytes",
          "cannot load plugins/b_crash.so: crashed while loading (bus error)",
          "cannot load plugins/c_hang.so: it did not finish loading within 1 s", "== plugins/d_echo.so",
          "Effect:   Test Echo"}},
        {std::string(VORSA_RENDER) + " plugins/a_cut.so --list", {"cannot load plugins/a_cut.so: the file is cut short"}},
        {std::string(VORSA_RENDER) + " plugins/a_cut.so new.wav", {"cannot load plugins/a_cut.so: the file is cut short"}},
    };
    for (const Case& c : cases) {
        const auto started = std::chrono::steady_clock::now();
        cli::Run r = cli::shell(c.command, dir.path);
        EXPECT_EQ(r.status, 1) << c.command << "\n" << r.output;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << c.command;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "new.wav"));
}

}  // namespace
