#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "support/temp_dir.h"
#include "transfer_test_support.h"

namespace {

using testing_support::readFile;
using testing_support::writeFile;
using transfer_testing::parseResponse;
using transfer_testing::runCommand;
using transfer_testing::shellQuote;

// `reelhaven --transfer` in its own process: it prints the address, serves
// real clients, reports their changes, and stops cleanly on SIGTERM and SIGINT.
class TransferCommandTest : public ::testing::TestWithParam<int> {
protected:
    std::string readLine() {
        std::string line;
        char c;
        while (::read(output, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    std::string readRest() {
        std::string rest;
        char buffer[4096];
        ssize_t count;
        while ((count = ::read(output, buffer, sizeof buffer)) > 0) rest.append(buffer, std::size_t(count));
        return rest;
    }

    testing_support::TempDir home;
    int output = -1;
};

TEST_P(TransferCommandTest, ServesTheDocumentsFolderUntilASignal) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::execl(REELHAVEN_EXECUTABLE, REELHAVEN_EXECUTABLE, "--home", home.path().c_str(), "--transfer", "--port", "0",
                nullptr);
        ::_exit(127);
    }
    ::close(fds[1]);
    output = fds[0];
    std::string port;
    for (int i = 0; i < 10 && port.empty(); ++i) {
        std::smatch match;
        std::string line = readLine();
        if (std::regex_search(line, match, std::regex("\\(port ([0-9]+)\\)"))) port = match[1];
    }
    ASSERT_FALSE(port.empty());
    std::string base = "http://127.0.0.1:" + port;
    writeFile(home / "clip.mp4", "clip bytes");
    auto upload = parseResponse(runCommand("curl -s -i -F " + shellQuote("files[]=@" + (home / "clip.mp4").string()) +
                                           " -F path=/ " + shellQuote(base + "/upload")));
    EXPECT_EQ(upload.status, 200);
    EXPECT_EQ(readFile(home / "Documents/clip.mp4"), "clip bytes");
    EXPECT_EQ(parseResponse(runCommand("curl -s -i " + shellQuote(base + "/list?path=/"))).body,
              R"([{"name":"clip.mp4","path":"/clip.mp4","size":10}])");
    std::string rest;
    // The upload is reported before the command is stopped.
    for (int i = 0; i < 20 && rest.find("uploaded") == std::string::npos; ++i) rest += readLine() + "\n";
    ::kill(child, GetParam());
    rest += readRest();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(output);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(rest.find("reelhaven: uploaded " + (home / "Documents/clip.mp4").string()), std::string::npos) << rest;
    EXPECT_NE(rest.find("reelhaven: transfer server stopped"), std::string::npos) << rest;
}

INSTANTIATE_TEST_SUITE_P(Signals, TransferCommandTest, ::testing::Values(SIGTERM, SIGINT));

}  // namespace
