#pragma once

namespace reelhaven {

// Registers the interface files "VideoCollectionViewCell" and "FolderCollectionViewCell"; each
// builds its cell, connects the outlets and wakes the cell. Safe to call more than once.
void registerLibraryCellNibs();

}  // namespace reelhaven
