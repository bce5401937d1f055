#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "transfer/web_uploader.h"
#include "transfer_test_support.h"

namespace reelhaven {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::readFile;
using testing_support::writeFile;
using transfer_testing::HttpResponse;
using transfer_testing::parseResponse;
using transfer_testing::runCommand;
using transfer_testing::shellQuote;

class RecordingUploaderDelegate : public WebUploaderDelegate {
public:
    std::vector<std::string> events;
    void webUploaderDidDownloadFile(WebUploader&, const std::string& path) override {
        events.push_back("download " + path);
    }
    void webUploaderDidUploadFile(WebUploader&, const std::string& path) override {
        events.push_back("upload " + path);
    }
    void webUploaderDidMoveItem(WebUploader&, const std::string& from, const std::string& to) override {
        events.push_back("move " + from + " -> " + to);
    }
    void webUploaderDidDeleteItem(WebUploader&, const std::string& path) override {
        events.push_back("delete " + path);
    }
    void webUploaderDidCreateDirectory(WebUploader&, const std::string& path) override {
        events.push_back("create " + path);
    }
};

// Every item under a folder with its size, for checking the disk after a test.
inline std::map<std::string, std::uintmax_t> snapshot(const fs::path& root) {
    std::map<std::string, std::uintmax_t> items;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::error_code error;
        auto size = it->is_regular_file(error) && !it->is_symlink() ? it->file_size(error) : 0;
        items[fs::relative(it->path(), root).string()] = size;
    }
    return items;
}

// The names directly inside a folder, sorted.
inline std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class WebUploaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(docs);
        writeFile(outside / "secret.txt", "TOP-SECRET-CONTENT");
        uploader = WebUploader::create(docs.string(), bundlePath);
        ASSERT_NE(uploader, nullptr);
        uploader->setDelegate(delegate);
        WebServerOptions options;
        options.bindToLocalhost = true;
        ASSERT_TRUE(uploader->startWithOptions(options));
        port = std::to_string(uploader->port());
        outsideBefore = snapshot(outside);
    }

    void TearDown() override {
        uploader->stop();
        EXPECT_TRUE(uploader->waitForConnectionsToEnd(10s));
        loop.runUntilIdle();
        EXPECT_EQ(snapshot(outside), outsideBefore) << "something outside the folder changed";
    }

    // Stops the server and starts it again on a fresh port, running `whileStopped` between: its
    // settings change only while it is stopped, so the threads it starts after see them.
    void restart(const std::function<void()>& whileStopped = {}) {
        uploader->stop();
        ASSERT_TRUE(uploader->waitForConnectionsToEnd(10s));
        if (whileStopped) whileStopped();
        WebServerOptions options;
        options.bindToLocalhost = true;
        ASSERT_TRUE(uploader->startWithOptions(options));
        port = std::to_string(uploader->port());
    }

    std::string url(const std::string& path) { return shellQuote("http://127.0.0.1:" + port + path); }
    // curl with the response head included.
    HttpResponse curl(const std::string& arguments) {
        return parseResponse(runCommand("curl -s -S -i " + arguments + " 2>&1"));
    }
    HttpResponse raw(const std::string& request) {
        std::string script = (testing_support::sourceDir() / "tests/transfer/raw_http.py").string();
        std::string file = (temp / "request.bin").string();
        writeFile(file, request);
        return parseResponse(runCommand("python3 " + shellQuote(script) + " " + port + " < " + shellQuote(file)));
    }
    std::vector<std::string> waitForEvents(std::size_t count) {
        loop.runUntil([&] { return delegate->events.size() >= count; }, 10s);
        return delegate->events;
    }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir temp;
    fs::path docs = temp / "Documents";
    fs::path outside = temp / "outside";
    std::string bundlePath = (testing_support::sourceDir() / "resources/WebUploader.bundle").string();
    std::shared_ptr<WebUploader> uploader;
    std::shared_ptr<RecordingUploaderDelegate> delegate = std::make_shared<RecordingUploaderDelegate>();
    std::string port;
    std::map<std::string, std::uintmax_t> outsideBefore;
};

}  // namespace reelhaven
