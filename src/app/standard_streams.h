#pragma once

namespace reelhaven {

// Opens /dev/null on each of standard input, output and error that the caller started the process
// without (a service manager may close them). Otherwise the first descriptor the app makes takes
// that number, and a signal descriptor would be read as the user's input or written to as output.
// Call first in main, before anything opens a file.
void holdStandardStreamsOpen();

}  // namespace reelhaven
