#pragma once

namespace reelhaven {

// Whether the program runs on an iPad: read from the device on first use, constant afterwards.
bool isPad();

}  // namespace reelhaven
