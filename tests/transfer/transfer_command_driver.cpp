// Runs the launcher's transfer command on a container folder, for the end-to-end test:
// transfer_command_driver HOME PORT
#include <cstdlib>
#include <memory>
#include <string>

#include "app/transfer_command.h"
#include "platform/foundation/container.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    auto container = std::make_shared<foundation::Container>(argv[1]);
    if (!container->createFolders()) return 1;
    foundation::Container::setCurrent(container);
    reelhaven::LauncherOptions options;
    options.mode = reelhaven::LauncherOptions::Mode::transfer;
    options.home = argv[1];
    options.port = std::atoi(argv[2]);
    return reelhaven::runTransferCommand(options);
}
