#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/url.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace dispatch {
class Queue;
}

namespace ui {

class DocumentPickerBrowser;
class DocumentPickerViewController;

class DocumentPickerDelegate {
public:
    virtual ~DocumentPickerDelegate() = default;
    virtual void didPickDocuments(DocumentPickerViewController& picker, const std::vector<foundation::URL>& urls) = 0;
    virtual void wasCancelled(DocumentPickerViewController& /*picker*/) {}
};

// The system's file picker for opening documents of some types. A person browses folders from
// the user's home folder (or the directory set) and picks one or several files, or cancels
// (DocumentPickerBrowser). The text host stands for the user: `pick` dismisses it and hands the
// delegate the URLs; `cancel` dismisses it and says so.
// Only items of the picker's content types can be picked (by extension, through the uniform
// type registry; folders are "public.folder"): others are left out as the system would grey
// them. Opening as a copy copies each picked item into a fresh folder of the container's
// "tmp/Inbox" (keeping its name) and hands the copies, so the receiver may move them away
// without touching the user's originals (it removes what it does not keep, the copy and then
// its folder). A link is copied as the file it leads to, read through the one descriptor its kind
// was judged on; a pipe, a device or a file of the kernel's own file systems is no file to copy.
// An item that cannot be copied is left out (logged)
// and leaves nothing behind in the Inbox. The copying runs on the picker's own serial queue, so
// a large pick does not hold up the interface: the picker is dismissed at once, and the copies
// are handed on the main queue, all together and in the order of the picks, once they are made
// (until then the hand-over counts as a transition in flight). Opening in place hands the
// originals at once.
class DocumentPickerViewController : public ViewController {
public:
    static std::shared_ptr<DocumentPickerViewController> create(std::vector<std::string> contentTypes, bool asCopy);
    std::string className() const override { return "DocumentPickerViewController"; }

    const std::vector<std::string>& contentTypes() const { return m_contentTypes; }
    bool opensAsCopy() const { return m_asCopy; }
    bool allowsMultipleSelection() const { return m_multiple; }
    void setAllowsMultipleSelection(bool allows);
    // The folder the picker starts in; none: the user's home folder.
    std::optional<foundation::URL> directoryURL() const { return m_directory; }
    void setDirectoryURL(std::optional<foundation::URL> folder) {
        checkMainThread();
        m_directory = std::move(folder);
    }
    bool shouldShowFileExtensions() const { return m_showExtensions; }
    void setShouldShowFileExtensions(bool shows) {
        checkMainThread();
        m_showExtensions = shows;
    }
    std::shared_ptr<DocumentPickerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<DocumentPickerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    // More than one URL without multiple selection keeps only the first pickable one.
    void pick(std::vector<foundation::URL> urls);
    // Whether the item is of one of the content types.
    bool canPick(const foundation::URL& url) const;
    void cancel();

    // Where copies go: "Inbox" in the container's tmp folder.
    static constexpr const char* inboxName = "Inbox";

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    // What a person sees and taps (after the view has loaded).
    DocumentPickerBrowser* browser() const { return m_browser.get(); }

    ~DocumentPickerViewController() override;

protected:
    DocumentPickerViewController();

private:
    // Copies `urls` off the main thread, then hands the copies to the delegate on the main queue.
    void handCopiesLater(std::vector<foundation::URL> urls);
    void hand(const std::vector<foundation::URL>& urls);

    std::vector<std::string> m_contentTypes;
    bool m_asCopy = false;
    bool m_multiple = false;
    bool m_showExtensions = false;
    std::weak_ptr<DocumentPickerDelegate> m_delegate;
    std::shared_ptr<dispatch::Queue> m_copyQueue;
    std::optional<foundation::URL> m_directory;
    std::unique_ptr<DocumentPickerBrowser> m_browser;
};

}  // namespace ui
