// Serves the upload page over a folder for the browser test and the benchmark: prints "PORT <n>",
// then one line per delegate event, and stops when its standard input closes. A third argument
// sets the connections allowed per client address (the benchmark's load test opens 64 from one).
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "transfer/web_uploader.h"

namespace {

class PrintingDelegate : public reelhaven::WebUploaderDelegate {
public:
    void webUploaderDidUploadFile(reelhaven::WebUploader&, const std::string& path) override { print("upload", path); }
    void webUploaderDidDownloadFile(reelhaven::WebUploader&, const std::string& path) override {
        print("download", path);
    }
    void webUploaderDidMoveItem(reelhaven::WebUploader&, const std::string& from, const std::string& to) override {
        print("move", from + " -> " + to);
    }
    void webUploaderDidDeleteItem(reelhaven::WebUploader&, const std::string& path) override { print("delete", path); }
    void webUploaderDidCreateDirectory(reelhaven::WebUploader&, const std::string& path) override {
        print("create", path);
    }

private:
    static void print(const char* what, const std::string& path) {
        std::printf("EVENT %s %s\n", what, path.c_str());
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER BUNDLE [CONNECTIONS_PER_CLIENT]\n", argv[0]);
        return 2;
    }
    auto loop = dispatch::RunLoop::main();
    auto uploader = reelhaven::WebUploader::create(argv[1], argv[2]);
    if (!uploader) {
        std::fprintf(stderr, "no page bundle at %s\n", argv[2]);
        return 1;
    }
    auto delegate = std::make_shared<PrintingDelegate>();
    uploader->setDelegate(delegate);
    reelhaven::WebServerOptions options;
    options.bindToLocalhost = true;
    if (argc > 3) options.maxConnectionsPerClient = std::stoul(argv[3]);
    if (!uploader->startWithOptions(options)) return 1;
    std::printf("PORT %u\n", unsigned(uploader->port()));
    std::fflush(stdout);
    std::thread watcher([loop] {
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        loop->stop();
    });
    loop->run();
    watcher.join();
    uploader->stop();
    uploader->waitForConnectionsToEnd(std::chrono::seconds(10));
    return 0;
}
