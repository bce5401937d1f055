#pragma once

namespace ui {

// The kinds of a list's boundary views.
inline constexpr const char* elementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline constexpr const char* elementKindSectionFooter = "UICollectionElementKindSectionFooter";

}  // namespace ui
