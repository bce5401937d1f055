#pragma once

namespace reelhaven {

// The storyboard "Settings": the controllers "settings" (the main settings screen),
// "storageSettings" and "languageSettings", and the segues "storageSettings" and
// "languageSettings" from the main screen to the other two. Each factory builds its screen's
// static table and connects the outlets and switch actions. Registers once; later calls do
// nothing until the storyboard is unregistered.
void registerSettingsStoryboard();

}  // namespace reelhaven
