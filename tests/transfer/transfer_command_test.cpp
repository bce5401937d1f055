#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <regex>
#include <vector>

#include "support/temp_dir.h"
#include "transfer_test_support.h"

namespace {

using testing_support::readFile;
using testing_support::writeFile;
using transfer_testing::parseResponse;
using transfer_testing::runCommand;
using transfer_testing::shellQuote;

// `reelhaven --transfer` in its own process: the app switches the server on through the library's
// import menu, prints the address, serves real clients, shows their changes in the library, and
// stops cleanly on SIGTERM and SIGINT. The test holds the app's terminal input open.
class LauncherTest : public ::testing::Test {
protected:
    ~LauncherTest() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (output >= 0) ::close(output);
        if (input >= 0) ::close(input);
    }

    // Where the launcher's standard input comes from: the test's pipe, or nothing as for a service.
    enum class Input { pipe, devNull, closed };

    // Starts the launcher on a free port; returns the port ("" when it did not start).
    std::string launch(std::optional<rlim_t> fileSizeLimit = std::nullopt, Input from = Input::pipe) {
        int fds[2];
        int commands[2];
        if (::pipe(fds) != 0 || ::pipe(commands) != 0) return "";
        child = ::fork();
        if (child < 0) return "";
        if (child == 0) {
            ::dup2(fds[1], 1);
            if (from == Input::pipe) ::dup2(commands[0], 0);
            if (from == Input::devNull) ::dup2(::open("/dev/null", O_RDONLY), 0);
            if (from == Input::closed) ::close(0);
            ::close(fds[0]);
            ::close(commands[1]);
            if (fileSizeLimit) {
                // Writes beyond the limit then fail (EFBIG) as on a full disk, instead of a signal.
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{*fileSizeLimit, *fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ::execl(REELHAVEN_EXECUTABLE, REELHAVEN_EXECUTABLE, "--home", home.path().c_str(), "--transfer", "--port",
                    "0", nullptr);
            ::_exit(127);
        }
        ::close(fds[1]);
        ::close(commands[0]);
        output = fds[0];
        input = commands[1];
        std::smatch match;
        std::string line = readUntil("(port ");
        if (std::regex_search(line, match, std::regex("\\(port ([0-9]+)\\)"))) return match[1];
        return "";
    }
    void type(const std::string& command) {
        const std::string line = command + "\n";
        ASSERT_EQ(::write(input, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    // Reads lines until one holds `text` (returned) or the output ends or stays silent for 60 s
    // ("" then); a bound for a broken run, never a pause of a working one.
    std::string readUntil(const std::string& text) {
        for (;;) {
            pollfd ready{output, POLLIN, 0};
            if (::poll(&ready, 1, 60000) <= 0) return "";
            std::string line;
            char c;
            ssize_t count = 0;
            while ((count = ::read(output, &c, 1)) == 1 && c != '\n') line += c;
            if (line.find(text) != std::string::npos) return line;
            if (count <= 0) return "";
        }
    }
    // Waits for the launcher to end; returns its exit status.
    int waitForExit() {
        int status = 0;
        ::waitpid(child, &status, 0);
        child = -1;
        return status;
    }
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
    std::vector<std::string> temporaryFiles() {
        std::vector<std::string> names;
        std::error_code error;
        for (auto it = std::filesystem::directory_iterator(home / "tmp", error);
             !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            names.push_back(it->path().filename().string());
        }
        return names;
    }

    testing_support::TempDir home;
    pid_t child = -1;
    int output = -1;
    int input = -1;
};

class TransferCommandTest : public LauncherTest, public ::testing::WithParamInterface<int> {};

TEST_P(TransferCommandTest, ServesTheDocumentsFolderUntilASignal) {
    std::string port = launch();
    ASSERT_FALSE(port.empty());
    std::string base = "http://127.0.0.1:" + port;
    writeFile(home / "clip.mp4", "clip bytes");
    auto upload = parseResponse(runCommand("curl -s -i -F " + shellQuote("files[]=@" + (home / "clip.mp4").string()) +
                                           " -F path=/ " + shellQuote(base + "/upload")));
    EXPECT_EQ(upload.status, 200);
    EXPECT_EQ(readFile(home / "Documents/clip.mp4"), "clip bytes");
    EXPECT_EQ(parseResponse(runCommand("curl -s -i " + shellQuote(base + "/list?path=/"))).body,
              R"([{"name":"clip.mp4","path":"/clip.mp4","size":10}])");
    // The server reports the upload to the main queue before it answers, so the next command
    // finds the report waiting: the library lists Documents again and the screen shows the video.
    type("show");
    EXPECT_NE(readUntil("\"clip\""), "");
    ::kill(child, GetParam());
    std::string rest = readRest();
    int status = waitForExit();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(rest.find("reelhaven: transfer server stopped"), std::string::npos) << rest;
    // The app went to the background before it ended: progress saved, the scene's session kept.
    EXPECT_TRUE(std::filesystem::exists(home / "Library/Application Support/progressData"));
    EXPECT_TRUE(std::filesystem::exists(home / "Library/Saved Application State/scene.json"));
}

INSTANTIATE_TEST_SUITE_P(Signals, TransferCommandTest, ::testing::Values(SIGTERM, SIGINT));

class ServiceTest : public LauncherTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ServiceTest, RunAsAServiceTheServerOutlivesTheEndOfItsInputUntilASignal) {
    std::string port = launch(std::nullopt, GetParam() ? Input::closed : Input::devNull);
    ASSERT_FALSE(port.empty());
    // The launcher has seen the end of its input and goes on.
    ASSERT_NE(readUntil("standard input ended"), "");
    auto listing = parseResponse(runCommand("curl -s -i " + shellQuote("http://127.0.0.1:" + port + "/list?path=/")));
    EXPECT_EQ(listing.status, 200);
    ::kill(child, SIGTERM);
    std::string rest = readRest();
    int status = waitForExit();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(rest.find("reelhaven: transfer server stopped"), std::string::npos) << rest;
}

INSTANTIATE_TEST_SUITE_P(InputClosedOrEmpty, ServiceTest, ::testing::Values(true, false));

TEST_F(LauncherTest, TemporaryFilesOfAKilledRunGoWhenTheServerStarts) {
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    writeFile(home / ("tmp/WebServer-" + std::to_string(gone) + ".3-Ab12Cd"), std::string(100000, 'x'));
    writeFile(home / "tmp/WebServer-notes", "not made by the server");
    writeFile(home / "tmp/kept.txt", "not ours");
    ASSERT_FALSE(launch().empty());
    auto left = temporaryFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"WebServer-notes", "kept.txt"}));
}

TEST_F(LauncherTest, StoppingAnswersAnUploadStillArrivingAndRemovesItsFile) {
    std::string port = launch();
    ASSERT_FALSE(port.empty());
    int fd = transfer_testing::connectTo(static_cast<std::uint16_t>(std::stoi(port)));
    std::string part = "--XyZ\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"big.mp4\"\r\n\r\n" +
                       std::string(300000, 'v');
    ASSERT_TRUE(transfer_testing::sendAll(
        fd,
        "POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=XyZ\r\n"
        "Content-Length: 100000000\r\n\r\n" +
            part));
    // The part's file exists once its first bytes are stored.
    for (int i = 0; i < 1000 && temporaryFiles().empty(); ++i) ::usleep(10000);
    ASSERT_EQ(temporaryFiles().size(), 1u);
    ::kill(child, SIGTERM);
    auto answer = parseResponse(transfer_testing::readAll(fd));
    ::close(fd);
    EXPECT_EQ(answer.status, 503);
    int status = waitForExit();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{});
}

}  // namespace

namespace {

TEST_F(LauncherTest, AnUploadThatCannotBeStoredSaysWhy) {
    std::string port = launch(100000);
    ASSERT_FALSE(port.empty());
    writeFile(home / "big.mp4", std::string(300000, 'v'));
    auto upload = parseResponse(runCommand("curl -s -i -F " + shellQuote("files[]=@" + (home / "big.mp4").string()) +
                                           " -F path=/ " + shellQuote("http://127.0.0.1:" + port + "/upload")));
    EXPECT_EQ(upload.status, 500);
    EXPECT_NE(upload.body.find(std::string("Failed storing uploaded file: ") + std::strerror(EFBIG)), std::string::npos)
        << upload.raw;
    EXPECT_EQ(upload.body.find(home.path().string()), std::string::npos) << upload.body;
    EXPECT_FALSE(std::filesystem::exists(home / "Documents/big.mp4"));
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{});
}

}  // namespace
