#include <mpv/client.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "core/ffmpeg_utility.h"
#include "core/subtitle.h"
#include "core/video.h"
#include "platform/foundation/security_scope.h"
#include "platform/graphics/gl_context.h"
#include "platform/graphics/gl_readback.h"
#include "playback/player_fixture.h"

namespace reelhaven::playback_test {
namespace {

TEST(MPVSessionStart, PositionIsOneSecondBeforeTheSavedOneUnlessRestored) {
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    auto progressClient = ProgressClient::create();
    auto video = Video::create(foundation::URL::fileURLWithPath((dir / "v.mp4").string()), LibraryItemType::file, true);
    auto at = [&](double progress, bool restored) {
        auto info = PlaybackInfo::create(progressClient, nullptr, video, restored, true, std::nullopt);
        info->setProgress(progress);
        return MPVSession::startOption(MPVSession::startPosition(*info));
    };
    EXPECT_EQ(at(0.8, false), "start=0.0");
    EXPECT_EQ(at(1.0, false), "start=0.0");
    EXPECT_EQ(at(41.5, false), "start=40.5");
    EXPECT_EQ(at(41.5, true), "start=41.5");
    EXPECT_EQ(MPVSession::startOption(0.1), "start=0.1");
}

TEST(MPVSessionCommands, ArgumentVectorPutsTheNameFirstAndEndsWithNull) {
    auto vector = MPVSession::argumentVector(MPVCommand::seek, {"10.0", "relative"});
    ASSERT_EQ(vector.size(), 4u);
    EXPECT_EQ(vector[0], "seek");
    EXPECT_EQ(vector[1], "10.0");
    EXPECT_EQ(vector[2], "relative");
    EXPECT_EQ(vector[3], std::nullopt);
}

TEST(EndFileActionTable, OnlyAFileThatPlayedToItsEndIsFinished) {
    struct Case {
        int reason;
        bool changedVideo, continuous;
        EndFileAction expected;
    };
    const Case cases[] = {
        {MPV_END_FILE_REASON_EOF, false, false, EndFileAction::closeFinished},
        {MPV_END_FILE_REASON_EOF, false, true, EndFileAction::playNext},
        {MPV_END_FILE_REASON_EOF, true, true, EndFileAction::none},
        {MPV_END_FILE_REASON_ERROR, false, true, EndFileAction::closeUnfinished},
        {MPV_END_FILE_REASON_ERROR, false, false, EndFileAction::closeUnfinished},
        {MPV_END_FILE_REASON_STOP, false, true, EndFileAction::none},
        {MPV_END_FILE_REASON_QUIT, false, false, EndFileAction::none},
        {MPV_END_FILE_REASON_REDIRECT, false, false, EndFileAction::none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(endFileAction({c.reason, 0}, c.changedVideo, c.continuous), c.expected) << "reason " << c.reason;
}

TEST(EndFileActionTable, AFileThatPlayedWithoutAnOutputIsFinished) {
    const EndFileEvent noSound{MPV_END_FILE_REASON_ERROR, MPV_ERROR_AO_INIT_FAILED, true};
    EXPECT_EQ(endFileAction(noSound, false, false), EndFileAction::closeFinished);
    EXPECT_EQ(endFileAction(noSound, false, true), EndFileAction::playNext);
    EXPECT_EQ(endFileAction(noSound, true, true), EndFileAction::none);
    EXPECT_EQ(endFileAction({MPV_END_FILE_REASON_ERROR, MPV_ERROR_VO_INIT_FAILED, true}, false, false),
              EndFileAction::closeFinished);
    // Before it played, the same error is a file that could not be played.
    EXPECT_EQ(endFileAction({MPV_END_FILE_REASON_ERROR, MPV_ERROR_AO_INIT_FAILED, false}, false, true),
              EndFileAction::closeUnfinished);
    EXPECT_EQ(endFileAction({MPV_END_FILE_REASON_ERROR, MPV_ERROR_LOADING_FAILED, true}, false, true),
              EndFileAction::closeUnfinished);
}

TEST_F(PlayerTest, LoadsFromOneSecondBeforeTheSavedPositionWithThePerFileOptions) {
    auto video = clip("long.mp4");
    VideoProgress::Choices choices;
    choices.playbackSpeed = 1.25;
    choices.volume = 40;
    saveProgress(*video, 41.5, choices);
    preferences->audioLanguage.setWrappedValue("deu,eng");
    auto first = info(video);
    open(first);
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(loaded[0], first);
    EXPECT_EQ(property("start"), "40.5");
    EXPECT_EQ(property("speed"), "1.250000");
    EXPECT_EQ(property("volume"), "40.000000");
    EXPECT_EQ(property("loop-file"), "no");
    EXPECT_EQ(property("pause"), "no");
    EXPECT_EQ(property("sub-ass-override"), "yes");
    EXPECT_EQ(property("sub-auto"), "no") << "a library file's subtitles are the ones the library lists";
    EXPECT_EQ(property("alang"), "deu,eng");
    EXPECT_EQ(property("cache"), "yes") << "a file opened from elsewhere is cached";
    EXPECT_EQ(property("demuxer-max-bytes"), "402653184");
    EXPECT_EQ(property("sub-shadow-color"), "#33000000");
    EXPECT_EQ(property("screenshot-format"), "png");
    ASSERT_TRUE(waitFor([&] { return restarts > 0; }));
    auto position = session->doubleProperty("time-pos");
    ASSERT_TRUE(position);
    EXPECT_GE(*position, 40.0);
}

TEST_F(PlayerTest, ARestoredPlayerResumesAtTheSavedSecondPaused) {
    auto video = clip("long.mp4");
    saveProgress(*video, 41.5);
    open(info(video, true));
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(property("start"), "41.5");
    EXPECT_EQ(property("pause"), "yes");
    EXPECT_EQ(property("speed"), "1.000000");
    EXPECT_EQ(property("volume"), "100.000000");
}

TEST_F(PlayerTest, APercentEncodedFileURLLoads) {
    auto path = dir / "a b%c.mp4";
    std::filesystem::copy_file(testing_support::testMedia("halves.mp4"), path);
    auto video = Video::create(foundation::URL::fileURLWithPath(path.string()), LibraryItemType::file, true);
    ASSERT_NE(video->url().absoluteString().find("%20"), std::string::npos);
    open(info(video));
    ASSERT_TRUE(waitFor([&] { return !loaded.empty() || ended; }));
    EXPECT_EQ(loaded.size(), 1u);
    EXPECT_FALSE(ended);
}

TEST_F(PlayerTest, AFileThatCannotBePlayedClosesUnfinished) {
    open(info(
        Video::create(foundation::URL::fileURLWithPath((dir / "missing.mp4").string()), LibraryItemType::file, true)));
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::closeUnfinished);
    EXPECT_EQ(ended->second.reason, MPV_END_FILE_REASON_ERROR);
    EXPECT_EQ(ended->second.error, MPV_ERROR_LOADING_FAILED);
}

TEST_F(PlayerTest, AFilePlayedToItsEndClosesFinishedOrPlaysTheNext) {
    auto first = info(clip("halves.mp4"));
    first->setProgress(2.9);  // starts at 1.9 s of 2 s
    open(first);
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::closeFinished);
    EXPECT_EQ(ended->second.reason, MPV_END_FILE_REASON_EOF);

    ended.reset();
    preferences->continuousPlayback.setWrappedValue(true);
    session->startPlayback(first);
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::playNext);
}

TEST_F(PlayerTest, ALengthBeyondAnyMediaIsNoLength) {
    auto played = info(clip("huge-duration.mkv", false));
    open(played);
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(property("duration"), "10000000000.000000") << "what the file's header claims";
    // Its end comes after everything mpv reported of it, its length included.
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(played->duration(), std::nullopt);
    EXPECT_EQ(played->video()->duration(), std::nullopt);
}

TEST_F(PlayerTest, AFileWhoseHeaderLengthIsBogusIsSavedWithTheLengthMpvReports) {
    // FFmpeg reads this header's length as -1e10 s, so the library knows none; mpv reads the
    // second the file lasts.
    auto video = clip("negative-duration.mkv", false);
    ASSERT_LE(FFmpegUtility::getDurationForFile(video->url().path()), 0);
    auto played = info(video);
    open(played);
    // mpv's first report may be what it has read so far (0.44 s under load): the length grows.
    ASSERT_TRUE(waitFor([&] { return video->duration() && video->duration()->seconds > 0.9; }))
        << video->duration().value_or(VideoTime{-1}).seconds;
    EXPECT_NEAR(video->duration()->seconds, 1, 0.1);
    played->setProgress(0.5);
    played->saveProgress();
    const auto record = progressClient->progress(*video);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->duration, *video->duration());
}

// Which record's length mpv may still grow is known by the record's serial, not its address: a
// record made where a freed one lay (glibc hands the freed block straight back) is another
// record, and the length its library gave it stays.
TEST_F(PlayerTest, ARecordMadeWhereAFreedOneLayKeepsTheLengthItsLibraryGave) {
    open(info(clip("long.mp4", false)));
    ASSERT_TRUE(waitForLoad());
    auto estimated = info(clip("negative-duration.mkv", false));
    session->startPlayback(estimated);
    ASSERT_TRUE(waitForLoad(2));
    ASSERT_TRUE(waitFor([&] { return estimated->duration().has_value(); })) << "mpv gave its length";
    auto known = clip("long.mp4", false);
    known->setDuration(VideoTime{65});  // its library's: the record whose length mpv gave stays the one above
    session->startPlayback(info(known));
    ASSERT_TRUE(waitForLoad(3));
    loaded.clear();
    ended.reset();
    ASSERT_EQ(estimated.use_count(), 1) << "the test holds the last reference, on this thread";

    auto video = clip("halves.mp4", false);  // 2 s; its library says 1.5
    video->setDuration(VideoTime{1.5});
    // glibc keeps up to seven freed blocks of a size for its thread and hands the last one out
    // first: with the cache for the record's size emptied, the next record lands where this one lay.
    std::vector<void*> cached;
    for (int i = 0; i < 8; ++i) cached.push_back(std::malloc(sizeof(PlaybackInfo)));
    const void* freedAt = estimated.get();
    estimated.reset();
    auto played = info(video);
    for (void* block : cached) std::free(block);
    played->setLoop(false);
    played->setProgress(1.9);  // starts at 0.9 s
    session->startPlayback(played);
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(played->duration(), 1.5) << (played.get() == freedAt ? "made where the freed record lay" : "");
    EXPECT_EQ(video->duration(), VideoTime{1.5});
}

// A file replaced just after it loaded may still report its length: that length is not the new
// record's (a 2 s clip once took the 65 s of the file before it, and kept it).
TEST_F(PlayerTest, AReplacedFilesLateLengthIsNotTheNextRecords) {
    open(info(clip("oneframe.mp4", false)));
    for (std::size_t round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(waitForLoad(2 * round - 1));
        session->startPlayback(info(clip("long.mp4", false)));
        ASSERT_TRUE(waitForLoad(2 * round));
        auto next = info(clip("halves.mp4", false));
        next->setLoop(false);
        session->startPlayback(next);
        ASSERT_TRUE(waitForLoad(2 * round + 1));
        ASSERT_TRUE(waitFor([&] { return next->duration().has_value(); }));
        session->commandQueue()->sync([] {});
        mainLoop.runUntilIdle();
        EXPECT_NEAR(next->duration().value_or(0), 2, 0.1);
    }
}

// No sound device: mpv's "pcm" output writing into a folder that does not exist cannot open,
// on any machine.
class PlayerWithoutSoundTest : public PlayerTest {
protected:
    void SetUp() override {
        audioOutput = "pcm";
        beforeLoad = [this] {
            const auto file = (dir / "no-such-folder" / "sound.wav").string();
            mpv_set_property_string(session->mpv(), "ao-pcm-file", file.c_str());
        };
    }
    PlaybackInfoPtr nearTheEnd() {
        auto first = info(clip("classic.mkv"));  // 3 s with a sound track
        first->setProgress(2.5);                 // starts at 1.5 s
        return first;
    }
};

TEST_F(PlayerWithoutSoundTest, AFileWithSoundPlaysToItsEndAndIsFinished) {
    open(nearTheEnd());
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::closeFinished);
    EXPECT_EQ(ended->second.reason, MPV_END_FILE_REASON_EOF) << "mpv fell back to no sound output";
    EXPECT_EQ(property("audio-fallback-to-null"), "yes");
}

TEST_F(PlayerWithoutSoundTest, WithoutTheFallbackAFileThatLoadedAndPlayedIsStillFinished) {
    auto noFallback = beforeLoad;
    beforeLoad = [&] {
        noFallback();
        mpv_set_property_string(session->mpv(), "audio-fallback-to-null", "no");
    };
    open(nearTheEnd());
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->second.reason, MPV_END_FILE_REASON_ERROR);
    EXPECT_EQ(ended->second.error, MPV_ERROR_AO_INIT_FAILED);
    EXPECT_TRUE(ended->second.played);
    EXPECT_EQ(ended->first, EndFileAction::closeFinished);
}

TEST_F(PlayerTest, TheReplacedFilesEndIsNotActedOn) {
    open(info(clip("long.mp4")));
    ASSERT_TRUE(waitForLoad());
    session->setChangedVideo(true);
    auto second = info(clip("halves.mp4"));
    second->setLoop(true);
    session->startPlayback(second);
    ASSERT_TRUE(waitForLoad(2));
    EXPECT_EQ(loaded[1], second);
    EXPECT_FALSE(session->changedVideo()) << "cleared when the new file started";
    EXPECT_FALSE(ended) << "the first file's stop is not an end of playback";
}

TEST_F(PlayerTest, TheTeardownEndsSecurityScopedAccessAndLaterWritesAreDropped) {
    auto video = clip("halves.mp4");
    open(info(video));
    ASSERT_TRUE(waitForLoad());
    auto path = video->url().path();
    EXPECT_EQ(foundation::SecurityScope::accessCount(path), 1);
    session->teardown();
    EXPECT_EQ(foundation::SecurityScope::accessCount(path), 0);
    EXPECT_FALSE(session->isAlive());
    EXPECT_FALSE(renderer->hasRenderContext()) << "the render context goes before the handle";
    session->setIntProperty("volume", 10);
    session->commandQueue()->sync([] {});
    EXPECT_EQ(session->stringProperty("volume"), std::nullopt);
    session->teardown();  // a second teardown is harmless
}

TEST_F(PlayerTest, DroppingThePlayerTearsDownALiveHandleAndRenderContext) {
    for (bool sessionFirst : {true, false}) {
        SCOPED_TRACE(sessionFirst);
        loaded.clear();
        auto video = clip("halves.mp4");
        open(info(video));
        ASSERT_TRUE(waitForLoad());
        std::weak_ptr<MPVSession> weakSession = session;
        std::weak_ptr<VideoRenderer> weakRenderer = renderer;
        // The last reference may go on the command queue (a drain that held the session), whose
        // destructor then still runs there after the weak reference expired: a block behind it
        // waits for it to finish.
        auto commandQueue = session->commandQueue();
        auto destroyed = [&] {
            if (!waitFor([&] { return weakSession.expired(); })) return false;
            commandQueue->sync([] {});
            return true;
        };
        // No teardown. Reports already posted to the main queue hold the session until they run.
        if (sessionFirst) {
            session.reset();
            ASSERT_TRUE(destroyed());
            EXPECT_FALSE(VideoRenderer::renderQueue()->syncValue([&] { return renderer->hasRenderContext(); }))
                << "the session's destructor left the render context to outlive the handle";
            renderer.reset();
        } else {
            // Its destructor frees the render context on the render queue (later, when a render
            // in flight holds the last reference).
            renderer.reset();
            session.reset();
            ASSERT_TRUE(destroyed());
        }
        commandQueue.reset();
        VideoRenderer::renderQueue()->sync([] {});
        EXPECT_TRUE(weakRenderer.expired());
        EXPECT_EQ(foundation::SecurityScope::accessCount(video->url().path()), 0);
    }
}

// What the interface reads without asking mpv: the position and pause mpv reported, and whether
// an asynchronous ask has been answered (every ask once the handle is gone).
TEST_F(PlayerTest, TheObservedPositionFollowsPlaybackAndAsksAreAnsweredUntilTheTeardown) {
    auto video = clip("long.mp4");
    open(info(video));
    ASSERT_TRUE(waitFor([&] { return session->observed().position.value_or(0) > 0.2; }));
    const auto observed = session->observed();
    EXPECT_EQ(observed.paused, std::optional<bool>(false));
    EXPECT_FALSE(observed.seeking);
    EXPECT_NEAR(*observed.position,
                *session->commandQueue()->syncValue([&] { return session->doubleProperty("time-pos"); }), 1.0);
    const auto first = session->ping();
    ASSERT_TRUE(waitFor([&] { return session->answered(first); }));
    EXPECT_FALSE(session->answered(first + 1)) << "an ask not yet made";
    session->teardown();
    EXPECT_TRUE(session->answered(session->ping())) << "nobody to ask, nothing to wait for";
}

TEST_F(PlayerTest, ALoadMPVRefusesEndsAsAnError) {
    auto video = Video::create(foundation::URL::fileURLWithPath(dir.path().string()), LibraryItemType::file, true);
    open(info(video));
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::closeUnfinished);
}

TEST_F(PlayerTest, TheViewShowsThePictureUprightAfterPlaybackRestart) {
    struct Case {
        const char* clip;
        // Where blue and red are: two points of the 320x180 view.
        int blueX, blueY, redX, redY;
    };
    const Case cases[] = {
        {"halves.mp4", 60, 90, 260, 90},
        {"halves-rot180.mp4", 260, 90, 60, 90},
        // Named after the display matrix's angle (counter-clockwise): -90 is a clockwise quarter,
        // which puts the blue left half on top, as the ffmpeg tool shows it.
        {"halves-rot-90.mp4", 160, 40, 160, 140},
        {"halves-rot90.mp4", 160, 140, 160, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        auto played = info(clip(c.clip));
        played->setLoop(true);
        if (!session) {
            open(played);
        } else {
            restarts = 0;
            session->startPlayback(played);
        }
        auto frame = frameAfterRestart();
        ASSERT_EQ(frame.width(), 320);
        ASSERT_EQ(frame.height(), 180);
        auto blue = frame.pixel(c.blueX, c.blueY);
        auto red = frame.pixel(c.redX, c.redY);
        EXPECT_GT(blue.b, 200);
        EXPECT_LT(blue.r, 60);
        EXPECT_GT(red.r, 200);
        EXPECT_LT(red.b, 60);
    }
}

TEST_F(PlayerTest, RenderToFBODrawsIntoAHalfFloatFramebufferAtItsOwnSize) {
    auto played = info(clip("halves.mp4"));
    played->setLoop(true);
    open(played);
    frameAfterRestart();
    auto [info, halves] = VideoRenderer::renderQueue()->syncValue([&] {
        renderer->context()->makeCurrent();
        auto fbo = renderer->offscreenFramebuffer(64, 36);
        std::vector<std::uint16_t> pixels;
        if (fbo) {
            renderer->renderToFBO(*fbo);
            pixels = gfx::readFramebufferRGBA16F(static_cast<unsigned>(fbo->identifier), 64, 36);
        }
        return std::pair(fbo, pixels);
    });
    ASSERT_TRUE(info);
    EXPECT_EQ(info->renderWidth, 64);
    EXPECT_EQ(info->renderHeight, 36);
    ASSERT_EQ(halves.size(), 64u * 36u * 4u);
    auto at = [&](int x, int y, int channel) { return gfx::halfToFloat(halves[(y * 64 + x) * 4 + channel]); };
    EXPECT_GT(at(10, 18, 2), 0.8f);  // blue on the left
    EXPECT_LT(at(10, 18, 0), 0.2f);
    EXPECT_GT(at(54, 18, 0), 0.8f);  // red on the right
    EXPECT_LT(at(54, 18, 2), 0.2f);
    // The same size is reused; a new one replaces it.
    auto [same, other] = VideoRenderer::renderQueue()->syncValue([&] {
        auto again = renderer->offscreenFramebuffer(64, 36);
        auto resized = renderer->offscreenFramebuffer(32, 18);
        return std::pair(again, resized);
    });
    EXPECT_EQ(same, info);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->renderWidth, 32);
    // A framebuffer GL cannot make leaves the one in use as it was.
    auto [made, kept] = VideoRenderer::renderQueue()->syncValue([&] {
        bool result = renderer->createFBO(1 << 20, 1 << 20);
        return std::pair(result, renderer->fboInfo());
    });
    EXPECT_FALSE(made);
    EXPECT_EQ(kept, other);
}

TEST_F(PlayerTest, ARemovedRenderContextLeavesTheViewTransparent) {
    auto played = info(clip("halves.mp4"));
    played->setLoop(true);
    open(played);
    frameAfterRestart();
    VideoRenderer::renderQueue()->sync([&] {
        renderer->destroyRenderContext();
        renderer->render();
    });
    EXPECT_EQ(view->lastFrame().pixel(60, 90), (gfx::Pixel{0, 0, 0, 0}));
}

TEST_F(PlayerTest, HDRIsShownOnlyOnAScreenWithHeadroom) {
    preferences->useEDR.setWrappedValue(true);
    for (double headroom : {1.0, 2.0}) {
        SCOPED_TRACE(headroom);
        edrHeadroom = headroom;
        if (screen) screen->setPotentialEDRHeadroom(headroom);
        hdr.reset();
        auto played = info(clip("hdr10.mkv"));
        if (!session) {
            open(played);
        } else {
            session->startPlayback(played);
        }
        ASSERT_TRUE(waitFor([&] { return hdr.has_value(); }));
        if (headroom > 1.0) {
            ASSERT_TRUE(hdr->has_value());
            EXPECT_EQ((*hdr)->primaries, "bt.2020");
            EXPECT_EQ((*hdr)->gamma, "pq");
            EXPECT_EQ((*hdr)->colorSpace, gfx::ColorSpaceName::itur2100PQ);
            EXPECT_TRUE(played->isHdr());
            VideoRenderer::renderQueue()->sync([] {});  // the renderer queues its write from there
            EXPECT_EQ(property("target-prim"), "bt.2020") << "the renderer's write went through the command queue";
            EXPECT_EQ(property("target-trc"), "pq");
        } else {
            EXPECT_FALSE(hdr->has_value());
            EXPECT_FALSE(played->isHdr());
            EXPECT_EQ(property("target-prim"), "auto");
            EXPECT_EQ(property("target-trc"), "auto");
        }
        session->commandQueue()->sync([] {});
    }
}

TEST_F(PlayerTest, ADecoderGoneWhilePausedIsSwitchedHalfASecondLater) {
    open(info(clip("long.mp4")));
    ASSERT_TRUE(waitForLoad());
    auto record = session->playbackInfo();
    auto report = [&](const std::string& current) {
        session->commandQueue()->sync([&] { session->hwdecReported(current); });
        mainLoop.runUntilIdle();
    };
    record->setIsPaused(true);
    report("");
    EXPECT_EQ(property("hwdec"), "no") << "not before half a second";
    mainLoop.advanceSeconds(0.5);
    EXPECT_EQ(property("hwdec"), "auto") << "from the configured decoder to mpv's choice";
    report("");
    mainLoop.advanceSeconds(0.5);
    EXPECT_EQ(property("hwdec"), "no") << "and back";

    report("no");  // a decoder that names itself is there
    record->setIsPaused(false);
    report("");  // playing: the next frame comes anyway
    mainLoop.advanceSeconds(1);
    EXPECT_EQ(property("hwdec"), "no");
}

TEST_F(PlayerTest, SoftwareDecodingIsNotReportedAsHardware) {
    auto played = info(clip("halves.mp4"));
    open(played);
    ASSERT_TRUE(waitFor([&] { return restarts > 0; }));
    EXPECT_EQ(property("hwdec"), "no");
    EXPECT_FALSE(played->isHwdec());
}

// Only a file the user chose where it lies has its subtitles looked up beside it by name; a library
// file gets the ones the library lists for it.
TEST_F(PlayerTest, OnlyAFileTheUserChoseHasItsSubtitlesFoundByName) {
    const auto clipPath = dir / "Clip.mp4";
    std::filesystem::copy_file(testing_support::testMedia("wide.mp4"), clipPath);
    for (const char* name : {"Clip.en.srt", "Clip.de.srt"})
        testing_support::writeFile(dir / name, "1\n00:00:00,000 --> 00:00:03,000\nHello\n");
    const auto url = foundation::URL::fileURLWithPath(clipPath.string());
    auto library = Video::create(url, LibraryItemType::file, false);
    library->setExternalSubtitles(std::vector<std::shared_ptr<Subtitle>>{Subtitle::create(
        foundation::URL::fileURLWithPath((dir / "Clip.de.srt").string()), LibraryItemType::subtitle, false)});
    const std::vector<std::pair<VideoPtr, std::vector<std::string>>> cases{
        {Video::opened(url, MediaOrigin::chosenByUser), {"None", "[De] Clip.de.srt ", "[En] Clip.en.srt "}},
        {library, {"None", "[De] Clip.de.srt "}},
    };
    for (const auto& [video, expected] : cases) {
        SCOPED_TRACE(video->origin() == MediaOrigin::chosenByUser ? "chosen" : "library");
        auto played = info(video);
        if (!session)
            open(played);
        else
            session->startPlayback(played);
        ASSERT_TRUE(waitFor([&] { return !loaded.empty() && loaded.back() == played; }));
        std::vector<std::string> titles;
        for (const auto& track : played->subtitleTracks()) titles.push_back(track.title);
        EXPECT_EQ(titles, expected);
    }
}

}  // namespace
}  // namespace reelhaven::playback_test
