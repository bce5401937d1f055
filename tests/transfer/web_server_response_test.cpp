#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/container.h"
#include "support/temp_dir.h"
#include "transfer/web_server_body_framing.h"
#include "transfer/web_server_data_response.h"
#include "transfer/web_server_error_response.h"
#include "transfer/web_server_file_response.h"
#include "transfer/web_server_gzip_decoder.h"
#include "transfer/web_server_gzip_encoder.h"
#include "transfer/web_server_multi_part_form_request.h"
#include "transfer/web_server_request.h"

namespace reelhaven {
namespace {

using testing_support::writeFile;

std::string readWhole(WebServerResponse& response) {
    response.prepareForReading();
    EXPECT_TRUE(response.performOpen().ok());
    std::string body;
    for (;;) {
        std::string piece;
        response.performReadData([&](foundation::Result<std::string> data) { piece = data.value(); });
        if (piece.empty()) break;
        body += piece;
    }
    response.performClose();
    return body;
}

TEST(WebServerResponse, ServesByteRangesOfAFile) {
    testing_support::TempDir temp;
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += char(i);
    writeFile(temp / "f.bin", bytes);
    std::string path = (temp / "f.bin").string();

    auto last = WebServerFileResponse::responseWithFile(path, WebServerParseByteRange("bytes=-10"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->statusCode(), 206);
    EXPECT_EQ(last->additionalHeaders().at("Content-Range"), "bytes 90-99/100");
    EXPECT_EQ(readWhole(*last), bytes.substr(90));

    auto middle = WebServerFileResponse::responseWithFile(path, WebServerParseByteRange("bytes=5-9"));
    EXPECT_EQ(readWhole(*middle), bytes.substr(5, 5));
    auto tail = WebServerFileResponse::responseWithFile(path, WebServerParseByteRange("bytes=95-"));
    EXPECT_EQ(readWhole(*tail), bytes.substr(95));
    EXPECT_EQ(WebServerFileResponse::responseWithFile(path, WebServerParseByteRange("bytes=100-")), nullptr);
    EXPECT_EQ(WebServerFileResponse::responseWithFile((temp / "none").string()), nullptr);
    std::filesystem::create_symlink(path, temp / "link");
    EXPECT_EQ(WebServerFileResponse::responseWithFile((temp / "link").string()), nullptr);
}

TEST(WebServerResponse, ParsesOnlySingleByteRanges) {
    EXPECT_EQ(WebServerParseByteRange("bytes=500-999"), (WebServerByteRange{500, 500}));
    EXPECT_EQ(WebServerParseByteRange("bytes=9500-"), (WebServerByteRange{9500, WebServerByteRange::kNotFound}));
    EXPECT_EQ(WebServerParseByteRange("bytes=-500"), (WebServerByteRange{WebServerByteRange::kNotFound, 500}));
    EXPECT_FALSE(WebServerParseByteRange("bytes=0-0,5-6").isSet());
    EXPECT_FALSE(WebServerParseByteRange("bytes=-0").isSet());
    EXPECT_FALSE(WebServerParseByteRange("bytes=9-1").isSet());
    EXPECT_FALSE(WebServerParseByteRange("items=1-2").isSet());
    // The widest range a client can write (a signed length would overflow).
    EXPECT_EQ(WebServerParseByteRange("bytes=0-9223372036854775807"), (WebServerByteRange{0, 1ULL << 63}));
}

TEST(WebServerResponse, NamesAttachmentsSafely) {
    EXPECT_EQ(WebServerFileResponse::contentDisposition("Caf\xc3\xa9 \"\xe6\x97\xa5\".mp4"),
              "attachment; filename=\"Caf\xe9 ?.mp4\"; filename*=UTF-8''Caf%C3%A9%20%22%E6%97%A5%22.mp4");
    // Letters Latin-1 has keep their Latin-1 bytes; others, and C1 controls, do not.
    EXPECT_EQ(WebServerFileResponse::contentDisposition("\xc3\x89l\xc3\xa9 ni\xc3\xb1o \xc5\x93\xc2\x85.mp4"),
              "attachment; filename=\"\xc9l\xe9 ni\xf1o ?_.mp4\"; "
              "filename*=UTF-8''%C3%89l%C3%A9%20ni%C3%B1o%20%C5%93%C2%85.mp4");
    EXPECT_EQ(WebServerFileResponse::contentDisposition("a\r\nb\x01.mp4"),
              "attachment; filename=\"a__b_.mp4\"; filename*=UTF-8''a%0D%0Ab%01.mp4");
}

TEST(WebServerResponse, EscapesErrorPages) {
    auto page = WebServerErrorResponse::responseWithClientError(404, "\"<a href='x'>&\" does not exist");
    EXPECT_EQ(page->statusCode(), 404);
    EXPECT_EQ(
        page->data(),
        "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>HTTP Error 404</title></head>"
        "<body><h1>HTTP Error 404: &quot;&lt;a href='x'&gt;&amp;&quot; does not exist</h1><h3></h3></body></html>");
    auto quotes = WebServerErrorResponse::responseWithServerError(
        500, foundation::Error{"POSIX", 2, "No \"such\" file"}, "\"a\"");
    EXPECT_NE(
        quotes->data().find("<h1>HTTP Error 500: &quot;a&quot;</h1><h3>[POSIX] No &quot;such&quot; file (2)</h3>"),
        std::string::npos);
}

TEST(WebServerResponse, FillsHTMLTemplatesLiterally) {
    testing_support::TempDir temp;
    writeFile(temp / "t.html", "<p>%name% and %name% but not %other%</p>");
    auto response = WebServerDataResponse::responseWithHTMLTemplate((temp / "t.html").string(), {{"name", "$1 %x%"}});
    EXPECT_EQ(response->data(), "<p>$1 %x% and $1 %x% but not %other%</p>");
    EXPECT_EQ(WebServerDataResponse::responseWithHTMLTemplate((temp / "none.html").string(), {}), nullptr);
}

TEST(WebServerResponse, HasNoLengthWithoutABodyAndZeroForAnEmptyOne) {
    auto bare = WebServerResponse::responseWithStatusCode(204);
    EXPECT_FALSE(bare->hasBody());
    EXPECT_FALSE(bare->usesChunkedTransferEncoding());
    auto empty = WebServerDataResponse::responseWithData("", "text/plain");
    EXPECT_EQ(empty->contentLength(), 0u);
}

TEST(WebServerResponse, GzipEncodesARoundTripWithTheDecoder) {
    std::string text;
    for (int i = 0; i < 300000; ++i) text += char('a' + (i * 31) % 26);
    auto response = WebServerDataResponse::responseWithData(text, "text/plain");
    response->setGZipContentEncodingEnabled(true);
    std::string compressed = readWhole(*response);
    EXPECT_TRUE(response->usesChunkedTransferEncoding());
    EXPECT_EQ(response->additionalHeaders().at("Content-Encoding"), "gzip");

    struct Collect : WebServerRequest {
        using WebServerRequest::WebServerRequest;
        std::string data;
        foundation::Status writeData(std::string_view piece) override {
            data.append(piece);
            return {};
        }
    } sink(WebServerRequestInfo{"POST", "/", {}, "/", {}});
    WebServerGZipDecoder decoder(sink, sink, 1024);  // small pieces
    ASSERT_TRUE(decoder.open().ok());
    for (std::size_t i = 0; i < compressed.size(); i += 777) {
        ASSERT_TRUE(decoder.writeData(std::string_view(compressed).substr(i, 777)).ok());
    }
    EXPECT_TRUE(decoder.close().ok());
    EXPECT_EQ(sink.data, text);
}

TEST(WebServerGZipDecoder, RefusesABodyThatDecodesPastItsRatioWith413) {
    // Zeros pack about 1000 to 1; the decoder allows 10 to 1 beyond the first 64 KiB here.
    auto gzipOf = [](const std::string& text) {
        auto response = WebServerDataResponse::responseWithData(text, "application/octet-stream");
        response->setGZipContentEncodingEnabled(true);
        return readWhole(*response);
    };
    struct Count : WebServerRequest {
        using WebServerRequest::WebServerRequest;
        std::size_t bytes = 0;
        foundation::Status writeData(std::string_view piece) override {
            bytes += piece.size();
            return {};
        }
    };
    auto decode = [](const std::string& coded, Count& sink) {
        WebServerGZipDecoder decoder(sink, sink, 4096, 10, 64 * 1024);
        EXPECT_TRUE(decoder.open().ok());
        foundation::Status status;
        for (std::size_t i = 0; i < coded.size() && status.ok(); i += 1000) {
            status = decoder.writeData(std::string_view(coded).substr(i, 1000));
        }
        [[maybe_unused]] auto closed = decoder.close();
        return status;
    };
    Count small(WebServerRequestInfo{"POST", "/", {}, "/", {}});
    EXPECT_TRUE(decode(gzipOf(std::string(60 * 1024, '\0')), small).ok()) << "within the allowance";
    EXPECT_EQ(small.bytes, 60u * 1024);
    Count bomb(WebServerRequestInfo{"POST", "/", {}, "/", {}});
    auto refused = decode(gzipOf(std::string(8 * 1024 * 1024, '\0')), bomb);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(WebServerErrorStatus(refused.error()), 413);
    EXPECT_LT(bomb.bytes, 1024u * 1024u) << "stopped soon after passing the ratio";
}

TEST(WebServerMultiPartFormRequest, StreamsFilesToDiskAndRemovesThemWithTheRequest) {
    WebServerRequestInfo info{"POST",
                              "/upload",
                              {{"Content-Type", "multipart/form-data; boundary=XX"}, {"Content-Length", "1000"}},
                              "/upload",
                              {}};
    std::string temporary;
    {
        auto request = WebServerRequest::make<WebServerMultiPartFormRequest>(info);
        ASSERT_NE(request, nullptr);
        ASSERT_TRUE(request->performOpen().ok());
        std::string body =
            "--XX\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/Show\r\n"
            "--XX\r\nContent-Disposition: form-data; name=\"files\"\r\nContent-Type: multipart/mixed; "
            "boundary=YY\r\n\r\n"
            "--YY\r\nContent-Disposition: file; filename=\"one.mp4\"\r\n\r\nONE\r\n"
            "--YY\r\nContent-Disposition: file; filename=\"two.mp4\"\r\n\r\nTWO\r\n--YY--\r\n"
            "--XX--\r\n";
        for (char c : body) ASSERT_TRUE(request->performWriteData(std::string_view(&c, 1)).ok());
        ASSERT_TRUE(request->performClose().ok());
        ASSERT_EQ(request->arguments().size(), 1u);
        EXPECT_EQ(request->firstArgumentForControlName("path")->string(), "/Show");
        ASSERT_EQ(request->files().size(), 2u);
        EXPECT_EQ(request->files()[0]->controlName(), "files");
        EXPECT_EQ(request->files()[1]->fileName(), "two.mp4");
        temporary = request->files()[1]->temporaryPath();
        EXPECT_EQ(testing_support::readFile(temporary), "TWO");
    }
    EXPECT_FALSE(std::filesystem::exists(temporary));
}

TEST(WebServerMultiPartFormRequest, LeavesNoTemporaryFileWhenTheBodyIsCut) {
    // A container of its own, so its tmp folder holds only this test's files.
    testing_support::TempDir home;
    foundation::ScopedContainer container(home.path());
    std::filesystem::path folder = WebServerTemporaryFile::directory();
    ASSERT_TRUE(folder.string().starts_with(home.path().string()));
    WebServerRequestInfo info{"POST",
                              "/upload",
                              {{"Content-Type", "multipart/form-data; boundary=XX"}, {"Content-Length", "1000"}},
                              "/upload",
                              {}};
    {
        auto request = WebServerRequest::make<WebServerMultiPartFormRequest>(info);
        ASSERT_TRUE(request->performOpen().ok());
        ASSERT_TRUE(request
                        ->performWriteData("--XX\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a\"\r\n\r\n"
                                           "partial content")
                        .ok());
        EXPECT_FALSE(std::filesystem::is_empty(folder));  // the part is being written
        EXPECT_FALSE(request->performClose().ok());
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(WebServerMultiPartFormRequest, BoundsTheHeadsOfManyEmptyParts) {
    WebServerRequestInfo info{"POST",
                              "/upload",
                              {{"Content-Type", "multipart/form-data; boundary=XX"}, {"Content-Length", "1000"}},
                              "/upload",
                              {}};
    // Empty arguments with long names: no content bytes, yet every head is kept.
    std::string part = "--XX\r\nContent-Disposition: form-data; name=\"" + std::string(8000, 'n') + "\"\r\n\r\n\r\n";
    auto request = std::make_shared<WebServerMultiPartFormRequest>(info, 64 * 1024);
    ASSERT_TRUE(request->isValid());
    ASSERT_TRUE(request->performOpen().ok());
    bool refused = false;
    for (int i = 0; i < 100 && !refused; ++i) refused = !request->performWriteData(part).ok();
    EXPECT_TRUE(refused);
    EXPECT_LE(request->arguments().size(), 8u);
}

TEST(WebServerRequest, TellsUnsafeBodyFramingFromTheHeadersAlone) {
    struct Case {
        WebServerHeaders headers;
        int status;
    };
    const std::vector<Case> cases = {
        {{}, 0},
        {{{"Content-Length", "0"}}, 0},
        {{{"content-length", "9223372036854775807"}}, 0},  // the largest a file can be
        {{{"Content-Length", "9223372036854775808"}}, 413},
        {{{"Content-Length", "18446744073709551615"}}, 413},  // stands for "unknown"
        {{{"Content-Length", "18446744073709551616"}}, 413},
        {{{"Content-Length", "-1"}}, 400},
        {{{"Content-Length", "+1"}}, 400},
        {{{"Content-Length", " 1"}}, 400},
        {{{"Content-Length", "0x10"}}, 400},
        {{{"Content-Length", ""}}, 400},
        {{{"Transfer-Encoding", "Chunked"}}, 0},
        {{{"Transfer-Encoding", "chunked"}, {"Content-Length", "5"}}, 400},
        {{{"Transfer-Encoding", "gzip, chunked"}}, 501},
        {{{"Transfer-Encoding", "identity"}}, 501},
    };
    for (const auto& each : cases) {
        std::string shown;
        for (const auto& [name, value] : each.headers) shown += name + ": " + value + "; ";
        EXPECT_EQ(WebServerBodyFramingStatus(each.headers), each.status) << shown;
    }
}

// The framing check and the request read a length alike: whatever the check lets through, the
// request takes as its length.
TEST(WebServerRequest, TakesEveryLengthTheFramingCheckAccepts) {
    for (std::string length : {"0", "5", "9223372036854775807", "9223372036854775808", "18446744073709551615"}) {
        WebServerHeaders headers = {{"Content-Length", length}};
        auto request = WebServerRequest::make<WebServerRequest>({"POST", "/", headers, "/", {}});
        EXPECT_EQ(request != nullptr, WebServerBodyFramingStatus(headers) == 0) << length;
        if (request) {
            EXPECT_EQ(std::to_string(request->contentLength()), length);
        }
    }
}

TEST(WebServerRequest, RejectsInconsistentHeads) {
    EXPECT_EQ(WebServerRequest::make<WebServerRequest>({"POST", "/", {{"Content-Length", "-1"}}, "/", {}}), nullptr);
    EXPECT_EQ(WebServerRequest::make<WebServerRequest>(
                  {"POST", "/", {{"Content-Length", "1"}, {"Transfer-Encoding", "chunked"}}, "/", {}}),
              nullptr);
    auto get = WebServerRequest::make<WebServerRequest>({"GET", "/", {{"Content-Type", "text/plain"}}, "/", {}});
    ASSERT_NE(get, nullptr);
    EXPECT_FALSE(get->hasBody());
}

}  // namespace
}  // namespace reelhaven
