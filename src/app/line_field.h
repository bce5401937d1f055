#pragma once

#include <string>
#include <string_view>

namespace reelhaven {

// A text as one field of a line the launcher prints (a file name, a title): a backslash, tab,
// line feed and carriage return become \\, \t, \n and \r, other control characters \xHH. A tab or
// line break inside a name would otherwise start a field or a line of its own, which readers
// would take for the launcher's.
std::string escapedField(std::string_view text);

}  // namespace reelhaven
