#include "playback/reelhaven_view_controller.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "core/documents_client.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/scenes/photo_library.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/main_thread_check.h"

// Screenshots: mpv writes the picture as a PNG into the Caches "Screenshots" folder, and once it
// confirms, every PNG there that is not already on its way is handed to the photo library and
// deleted when the library has it. A refused file stays for the next attempt.
namespace reelhaven {

namespace {

bool endsWithPng(const std::string& name) { return name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0; }

// The PNG names in `folder`, sorted so saves (and their notifications) come in a stable order;
// none when the folder cannot be listed.
std::optional<std::vector<std::string>> pngNames(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& entry : it) {
        auto name = entry.path().filename().string();
        if (endsWithPng(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::shared_ptr<ui::Image> loadImage(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto bitmap = gfx::PngCodec::decode(bytes);
    if (!bitmap) return nullptr;
    return ui::Image::create(std::move(*bitmap));
}

// The video menu's header observes the result and changes its views: always on the main thread.
void postOnMain(const char* name) {
    dispatch::Queue::main()->async([name] { foundation::NotificationCenter::defaultCenter().post(name); });
}

}  // namespace

void ReelhavenViewController::takeScreenshot(bool withSubtitles) {
    ui::checkMainThread();
    // Without a handle no reply would ever come and the menu's button would stay disabled.
    if (!m_session || !m_session->mpv()) {
        foundation::NotificationCenter::defaultCenter().post(kScreenshotFailed);
        return;
    }
    m_session->commandAsync(MPVCommand::screenshot, {withSubtitles ? "subtitles" : "video"}, kScreenshotReplyUserdata);
}

void ReelhavenViewController::saveScreenshots(int error) {
    int handedOver = 0;
    if (auto folder = screenshotFolder()) {
        for (const auto& name : pngNames(*folder).value_or(std::vector<std::string>{})) {
            auto context = std::make_shared<ScreenshotSaveContext>();
            context->screenshotPath = (*folder / name).string();
            // A file still on its way from an earlier shot is not handed over twice.
            if (!beginScreenshotSave(context)) continue;
            auto image = loadImage(context->screenshotPath);
            if (!image) {
                endScreenshotSave(context);
                continue;
            }
            ++handedOver;
            ui::PhotoLibrary::shared().saveImage(
                image, [weak = weakSelf(), context](const std::shared_ptr<ui::Image>&,
                                                    std::optional<foundation::Error> failure) {
                    if (auto self = weak.lock()) self->screenshotSaved(failure, context);
                });
        }
    }
    // Without this the video menu's button would stay disabled: mpv refused (no video output,
    // no file yet) or there was nothing to save.
    if (error < 0 || handedOver == 0) postOnMain(kScreenshotFailed);
}

void ReelhavenViewController::screenshotSaved(const std::optional<foundation::Error>& error,
                                              const std::shared_ptr<ScreenshotSaveContext>& context) {
    // The library is done with the file either way: a refused one stays for the next shot.
    endScreenshotSave(context);
    if (error) {
        foundation::NotificationCenter::defaultCenter().post(kScreenshotFailed);
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(context->screenshotPath, ignored);
    foundation::NotificationCenter::defaultCenter().post(kScreenshotSucceeded);
}

std::size_t ReelhavenViewController::pendingScreenshotSaves() const {
    std::lock_guard lock(m_screenshotMutex);
    return m_screenshotSaveContexts.size();
}

std::optional<std::filesystem::path> ReelhavenViewController::screenshotFolder() const {
    auto documents = m_sessionOptions.documentsClient;
    if (!documents) return std::nullopt;
    auto folder = documents->screenshotsURL();
    if (folder.isEmpty()) return std::nullopt;
    return std::filesystem::path(folder.path());
}

bool ReelhavenViewController::beginScreenshotSave(const std::shared_ptr<ScreenshotSaveContext>& context) {
    std::lock_guard lock(m_screenshotMutex);
    for (const auto& pending : m_screenshotSaveContexts) {
        if (pending->screenshotPath == context->screenshotPath) return false;
    }
    m_screenshotSaveContexts.insert(context);
    return true;
}

void ReelhavenViewController::endScreenshotSave(const std::shared_ptr<ScreenshotSaveContext>& context) {
    std::lock_guard lock(m_screenshotMutex);
    m_screenshotSaveContexts.erase(context);
}

}  // namespace reelhaven
