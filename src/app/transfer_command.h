#pragma once

#include "app/launcher_options.h"

namespace reelhaven {

// `reelhaven --transfer [--port N]`: switches the Wi-Fi transfer server on over the container's
// Documents folder, as the root screen's switch does (port 80 unless `--port` says otherwise, 0
// picks a free one; announced as "Transfer to Reelhaven"), prints the address to open, prints
// each upload, download, move, deletion and new folder, and serves until SIGINT or SIGTERM, then
// stops cleanly. The container must be installed. Returns the process exit status.
int runTransferCommand(const LauncherOptions& options);

}  // namespace reelhaven
