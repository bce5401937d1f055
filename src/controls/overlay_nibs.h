#pragma once

namespace reelhaven {

// Registers the interface files "NoteView" and "TitleView" (once; later calls do nothing). Each
// builds the overlay's content for its owner and connects the owner's outlets.
void registerOverlayNibs();

}  // namespace reelhaven
