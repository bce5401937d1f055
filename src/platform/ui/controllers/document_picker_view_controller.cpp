#include "platform/ui/controllers/document_picker_view_controller.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/base/log.h"
#include "platform/dispatch/queue.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/opened_file.h"
#include "platform/foundation/uniform_type.h"
#include "platform/foundation/uuid.h"
#include "platform/ui/controllers/document_picker_browser.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {

// The Inbox of the current container, made if missing; nothing when there is no container.
std::optional<foundation::URL> inboxFolder() {
    const auto temporary = foundation::FileManager::defaultManager().url(foundation::SearchPathDirectory::temporary,
                                                                         foundation::Intermediates::create);
    if (!temporary) {
        base::log(base::LogLevel::error, "DocumentPicker", "no folder for copies: " + temporary.error().description);
        return std::nullopt;
    }
    return temporary.value().appendingPathComponent(DocumentPickerViewController::inboxName,
                                                    foundation::PathKind::directory);
}

// A picked file is copied from the one descriptor it was judged on, following links (a link to a
// video brings the video, never a link out of the container); a folder is copied whole. Anything
// else, a file of the kernel's own file systems among them, is refused.
foundation::Status copyPicked(const foundation::URL& url, const foundation::URL& copy) {
    const auto picked = foundation::OpenedFile::open(url.path());
    if (picked.kind() == foundation::OpenedFile::Kind::folder)
        return foundation::FileManager::defaultManager().copyItem(url, copy);
    return picked.copyTo(copy);
}

// Runs on the copy queue: touches only the files and the log.
std::vector<foundation::URL> copyIntoInbox(const foundation::URL& inbox, const std::vector<foundation::URL>& urls) {
    auto& files = foundation::FileManager::defaultManager();
    std::vector<foundation::URL> copies;
    for (const auto& url : urls) {
        // A folder per pick keeps the item's own name without meeting an earlier copy.
        const auto folder =
            inbox.appendingPathComponent(foundation::UUID::random().uuidString(), foundation::PathKind::directory);
        const auto copy = folder.appendingPathComponent(url.lastPathComponent());
        auto status = files.createDirectory(folder, foundation::Intermediates::create);
        const bool made = static_cast<bool>(status);
        if (made) status = copyPicked(url, copy);
        if (!status) {
            // A failed copy removes what it made of itself; the folder made for it goes too.
            if (made) (void)files.removeItem(folder);
            base::log(base::LogLevel::warning, "DocumentPicker",
                      "could not copy " + url.path() + ": " + status.error().description);
            continue;
        }
        copies.push_back(copy);
    }
    return copies;
}

// The user's home folder, where a person starts looking.
foundation::URL homeFolder() {
    const char* home = std::getenv("HOME");
    return foundation::URL::fileURLWithPath(home && *home ? home : "/", foundation::PathKind::directory);
}

}  // namespace

DocumentPickerViewController::DocumentPickerViewController() = default;
DocumentPickerViewController::~DocumentPickerViewController() = default;

void DocumentPickerViewController::setAllowsMultipleSelection(bool allows) {
    checkMainThread();
    m_multiple = allows;
    if (m_browser) m_browser->setMultipleSelection(allows);
}

void DocumentPickerViewController::viewDidLoad() {
    checkMainThread();
    std::weak_ptr<DocumentPickerViewController> weak = sharedAs<DocumentPickerViewController>();
    DocumentPickerBrowser::Callbacks callbacks;
    callbacks.canPick = [weak](const foundation::URL& url) {
        auto self = weak.lock();
        return self && self->canPick(url);
    };
    callbacks.open = [weak](std::vector<foundation::URL> urls) {
        if (auto self = weak.lock()) self->pick(std::move(urls));
    };
    callbacks.cancel = [weak] {
        if (auto self = weak.lock()) self->cancel();
    };
    m_browser = std::make_unique<DocumentPickerBrowser>(*view(), m_multiple, std::move(callbacks));
    m_browser->show(m_directory.value_or(homeFolder()));
}

void DocumentPickerViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    // Files come and go while it is away: listed afresh, nothing picked yet.
    if (m_browser) m_browser->show(m_browser->folder());
}

void DocumentPickerViewController::viewDidLayoutSubviews() {
    if (m_browser) m_browser->layout(*view());
}

std::shared_ptr<DocumentPickerViewController> DocumentPickerViewController::create(
    std::vector<std::string> contentTypes, bool asCopy) {
    auto picker = make<DocumentPickerViewController>();
    picker->m_contentTypes = std::move(contentTypes);
    picker->m_asCopy = asCopy;
    if (asCopy)
        picker->m_copyQueue =
            dispatch::Queue::create("DocumentPicker.copy", dispatch::QueueKind::serial, dispatch::QoS::userInitiated);
    return picker;
}

void DocumentPickerViewController::pick(std::vector<foundation::URL> urls) {
    checkMainThread();
    std::erase_if(urls, [this](const foundation::URL& url) {
        if (canPick(url)) return false;
        base::log(base::LogLevel::warning, "DocumentPicker", url.path() + " is not of the types the picker opens");
        return true;
    });
    if (!m_multiple && urls.size() > 1) urls.resize(1);
    if (presentingViewController()) dismiss(false);
    if (m_asCopy) {
        handCopiesLater(std::move(urls));
    } else {
        hand(urls);
    }
}

void DocumentPickerViewController::hand(const std::vector<foundation::URL>& urls) {
    auto self = sharedAs<DocumentPickerViewController>();
    if (auto d = delegate()) d->didPickDocuments(*self, urls);
}

void DocumentPickerViewController::handCopiesLater(std::vector<foundation::URL> urls) {
    // Made here, on the main thread: the container is the main thread's.
    auto inbox = inboxFolder();
    auto token = TransitionsInFlight::begin();
    // The picker stays alive until it has handed the copies, even when nothing else holds it
    // once dismissed; both references move on to the main queue, so they are let go there.
    m_copyQueue->async([self = sharedAs<DocumentPickerViewController>(), token = std::move(token),
                        inbox = std::move(inbox), urls = std::move(urls)]() mutable {
        auto copies = inbox ? copyIntoInbox(*inbox, urls) : std::vector<foundation::URL>{};
        dispatch::Queue::main()->async([self = std::move(self), token = std::move(token), copies = std::move(copies)] {
            self->hand(copies);
            token->end();
        });
    });
}

bool DocumentPickerViewController::canPick(const foundation::URL& url) const {
    bool isFolder = false;
    const bool exists = url.isFileURL() && foundation::FileManager::defaultManager().fileExists(url, &isFolder);
    using foundation::UniformType;
    const UniformType type = exists && isFolder
                                 ? UniformType::folder()
                                 : UniformType::forFilenameExtension(url.pathExtension()).value_or(UniformType::data());
    return std::any_of(m_contentTypes.begin(), m_contentTypes.end(), [&](const std::string& identifier) {
        const auto wanted = UniformType::withIdentifier(identifier);
        return wanted && type.conforms(*wanted);
    });
}

void DocumentPickerViewController::cancel() {
    checkMainThread();
    auto self = sharedAs<DocumentPickerViewController>();
    if (presentingViewController()) dismiss(false);
    if (auto d = delegate()) d->wasCancelled(*self);
}

}  // namespace ui
