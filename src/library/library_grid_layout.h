#pragma once

#include "platform/ui/lists/collection_layout_section.h"

namespace reelhaven {

// The library grid's one section for the space it is given: two columns (three above 1024
// points), rows a sixth of the height but never lower than 130 points (150 from a height of 375),
// and 20 points of spacing on an iPad from 768 points wide, 10 otherwise.
ui::CollectionLayoutSection libraryGridSection(const ui::CollectionLayoutEnvironment& environment);

}  // namespace reelhaven
