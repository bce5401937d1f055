#include "app/transfer_command.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "transfer/web_uploader.h"

namespace reelhaven {

namespace {

volatile sig_atomic_t g_signalPipe = -1;

void onStopSignal(int) {
    int fd = g_signalPipe;
    if (fd < 0) return;
    char stop = 's';
    [[maybe_unused]] auto written = ::write(fd, &stop, 1);
}

// Prints what the uploader reports; these arrive on the main queue.
class PrintingUploaderDelegate : public WebUploaderDelegate {
public:
    void webUploaderDidUploadFile(WebUploader&, const std::string& path) override { print("uploaded", path); }
    void webUploaderDidDownloadFile(WebUploader&, const std::string& path) override { print("downloaded", path); }
    void webUploaderDidMoveItem(WebUploader&, const std::string& from, const std::string& to) override {
        print("moved", from + " -> " + to);
    }
    void webUploaderDidDeleteItem(WebUploader&, const std::string& path) override { print("deleted", path); }
    void webUploaderDidCreateDirectory(WebUploader&, const std::string& path) override {
        print("created folder", path);
    }
    void webServerDidConnect(WebServer&) override { print("a client connected", ""); }
    void webServerDidDisconnect(WebServer&) override { print("clients disconnected", ""); }

private:
    static void print(const char* what, const std::string& detail) {
        std::cout << "reelhaven: " << what << (detail.empty() ? "" : " ") << detail << std::endl;
    }
};

}  // namespace

int runTransferCommand(const LauncherOptions& options) {
    auto container = foundation::Container::current();
    if (!container) {
        std::cerr << "reelhaven: no container is installed\n";
        return 1;
    }
    // SIGINT and SIGTERM may reach any thread: the handler only writes to a pipe that one thread
    // of ours waits on, which then stops the main run loop.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        std::cerr << "reelhaven: " << std::strerror(errno) << "\n";
        return 1;
    }
    g_signalPipe = pipeFds[1];
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::string documents = container->folder(foundation::SearchPathDirectory::documents).string();
    auto uploader = WebUploader::create(documents);
    if (!uploader) {
        std::cerr << "reelhaven: the upload page bundle is missing (looked for " << WebUploaderBundle::defaultPath()
                  << "); set REELHAVEN_RESOURCES_DIR to the folder that holds WebUploader.bundle\n";
        return 1;
    }
    auto delegate = std::make_shared<PrintingUploaderDelegate>();
    uploader->setDelegate(delegate);

    auto loop = dispatch::RunLoop::main();
    WebServerOptions serverOptions;
    serverOptions.port = static_cast<std::uint16_t>(options.port.value_or(80));
    serverOptions.bonjourName = "Transfer to Reelhaven";
    foundation::Error error;
    if (!uploader->startWithOptions(serverOptions, &error)) {
        std::cerr << "reelhaven: could not start the transfer server on port " << serverOptions.port << ": "
                  << error.description
                  << (error.isPOSIX(EACCES) ? " (ports below 1024 need privileges; try --port 8080 or --port 0)" : "")
                  << "\n";
        return 1;
    }
    std::string address = uploader->serverURL().value_or("http://localhost:" + std::to_string(uploader->port()) + "/");
    std::cout << "reelhaven: transfer server running over " << documents << "\n"
              << "reelhaven: open " << address << " in a browser on this network (port " << uploader->port()
              << "); stop with Ctrl-C" << std::endl;

    std::thread signals([&] {
        char reason = 0;
        while (::read(pipeFds[0], &reason, 1) < 0 && errno == EINTR) {
        }
        loop->stop();
    });
    loop->run();
    char done = 'd';  // wakes the thread when the loop ended on its own
    [[maybe_unused]] auto written = ::write(pipeFds[1], &done, 1);
    signals.join();
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    g_signalPipe = -1;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);

    uploader->stop();
    uploader->waitForConnectionsToEnd(std::chrono::seconds(5));
    loop->runUntilIdle();
    std::cout << "reelhaven: transfer server stopped" << std::endl;
    return 0;
}

}  // namespace reelhaven
