// Large uploads are stored by a writer thread while the connection receives: the bytes must land
// whole and in order, and a failed write must still fail the upload.

#include "transfer/web_server_background_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/foundation/container.h"
#include "support/temp_dir.h"
#include "transfer/web_server_temporary_file.h"

namespace reelhaven {
namespace {

// Bytes that show where each one belongs, so a piece out of order cannot pass.
std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 4093) & 0xFF);
    return bytes;
}

TEST(WebServerTemporaryFile, ALargeFileWrittenInUnevenPiecesLandsWholeAndInOrder) {
    testing_support::TempDir home;
    foundation::ScopedContainer container(home.path());
    std::string bytes = pattern(5 * 1024 * 1024 + 17);
    std::string path;
    {
        auto file = WebServerTemporaryFile::create();
        ASSERT_TRUE(file.ok());
        std::size_t at = 0;
        for (std::size_t piece = 1; at < bytes.size(); piece = piece * 7 % 300007 + 1) {
            std::size_t size = std::min(piece, bytes.size() - at);
            ASSERT_TRUE(file.value().write(std::string_view(bytes).substr(at, size)).ok());
            at += size;
        }
        ASSERT_TRUE(file.value().close().ok());
        path = file.value().keep();
    }
    EXPECT_EQ(testing_support::readFile(path), bytes);
    WebServerTemporaryFile::discard(path);
}

TEST(WebServerBackgroundWriter, AFailedWriteFailsTheWritesAfterItAndTheFinish) {
    int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    {
        WebServerBackgroundWriter writer(full);
        std::string piece(WebServerBackgroundWriter::kBufferSize, 'x');
        bool failed = false;
        // The failure shows once the writer thread has met it: at the latest when it is finished.
        for (int i = 0; i < 64 && !failed; ++i) failed = !writer.write(piece).ok();
        auto finished = writer.finish();
        ASSERT_FALSE(finished.ok());
        EXPECT_TRUE(finished.error().isPOSIX(ENOSPC)) << finished.error().description;
    }
    ::close(full);
}

TEST(WebServerBackgroundWriter, GoingAwayUnfinishedDropsWhatWaitsAndReturns) {
    testing_support::TempDir home;
    std::string path = (home.path() / "dropped").string();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    std::string piece(WebServerBackgroundWriter::kBufferSize, 'y');
    {
        WebServerBackgroundWriter writer(fd);
        for (int i = 0; i < 8; ++i) ASSERT_TRUE(writer.write(piece).ok());
    }
    ::close(fd);
    EXPECT_LE(std::filesystem::file_size(path), 8 * piece.size());
}

}  // namespace
}  // namespace reelhaven
