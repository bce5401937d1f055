#pragma once

#include <memory>

#include "platform/foundation/json.h"

namespace ui {

class UserActivity;

// An activity as JSON that a later run of the app reads back, as the system keeps a scene's
// restoration activity across launches: its type, title and the user-info values that can be
// kept (bool, int, 64-bit integer, double, text and data). Other values are left out.
foundation::Json archiveUserActivity(const UserActivity& activity);
// Null when the JSON is not an archived activity; values of an unknown kind are left out.
std::shared_ptr<UserActivity> unarchiveUserActivity(const foundation::Json& archive);

}  // namespace ui
