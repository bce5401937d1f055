#pragma once

#include <vector>

#include "core/folder.h"

namespace reelhaven {

// What a library manager tells the screen of its folder. Calls arrive on whichever thread made
// the change (the caller of `update`, or the manager's process queue); a screen moves its own
// work to the main queue. Managers hold their delegate weakly.
class VideoManagerDelegate {
public:
    virtual ~VideoManagerDelegate() = default;

    // The manager's item list changed.
    virtual void libraryDidChange() = 0;
    // The manager's first update finished; the list holds the folder's first listing.
    virtual void initialLoadDidFinish() = 0;
    // The contents of these sub-folders changed (the manager passes one folder at a time).
    virtual void foldersDidChange(const std::vector<FolderPtr>& folders) = 0;
};

}  // namespace reelhaven
