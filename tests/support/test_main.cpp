// The main() of every test executable: test executables start media helpers of their own (the
// library's jobs run in them), so like the app's executable each serves as one when asked first.

#include <gtest/gtest.h>

namespace reelhaven {
// Defined where the media helpers are started from; absent from a test that starts none.
int mediaHelperMain(int argc, char** argv) __attribute__((weak));
}  // namespace reelhaven

int main(int argc, char** argv) {
    if (reelhaven::mediaHelperMain)
        if (const int status = reelhaven::mediaHelperMain(argc, argv); status >= 0) return status;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
