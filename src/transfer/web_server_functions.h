#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/date.h"
#include "platform/network/socket_address.h"

namespace reelhaven {

// Shared helpers of the HTTP server: dates, header values, text, MIME types, escaping, forms,
// addresses, digests and paths. All are safe to call from any thread.

// "Thu, 01 Jan 1970 00:00:00 GMT", whatever the process locale and time zone.
std::string WebServerHTTPDateString(foundation::Date date);
// Parses that format back; nothing when the text does not match it exactly.
std::optional<foundation::Date> WebServerDateFromHTTPDateString(std::string_view text);

// Lower-cases the part before the first ";" and keeps the parameters as sent.
std::optional<std::string> WebServerLowercaseHeaderValue(std::optional<std::string_view> value);
// The part before the first ";" (the whole value without one).
std::optional<std::string> WebServerHeaderValueWithoutParameters(std::optional<std::string_view> value);
// The value of parameter `name` in a header value such as 'form-data; name="x"; filename=a.mp4'. The name is
// matched case-insensitively at the start of a parameter only; a quoted value runs to the closing quote, an
// unquoted one to the next ";" or white space. Nothing when absent.
std::optional<std::string> WebServerHeaderParameter(std::string_view value, std::string_view name);

// The iconv name of the encoding an IANA charset name denotes; "UTF-8" for none or an unknown name.
std::string WebServerEncodingForCharset(std::optional<std::string_view> charset);
// `data` in `encoding` converted to UTF-8, or nothing when it is not valid in that encoding.
std::optional<std::string> WebServerDecodeText(std::string_view data, const std::string& encoding);
// `data` decoded with the "charset" parameter of `contentType`.
std::optional<std::string> WebServerDecodeTextOfContentType(std::string_view data, std::string_view contentType);

bool WebServerIsTextualContentType(std::string_view contentType);
// The body as text for a textual type, else "<N bytes>".
std::string WebServerBodyDescription(std::string_view data, std::string_view contentType);

// The MIME type for a file-name extension: the overrides, then "css", then the system table;
// "application/octet-stream" when nothing matches.
std::string WebServerMIMETypeForExtension(std::string_view extension,
                                          const std::map<std::string, std::string>* overrides = nullptr);

// Percent-escapes the UTF-8 bytes of `text`; only unreserved characters (letters, digits, "-._~") stay.
std::string WebServerPercentEscape(std::string_view text);
// The same, leaving the characters of `allowed` as they are too.
std::string WebServerPercentEscapeExcept(std::string_view text, std::string_view allowed);
// Replaces the percent escapes; nothing when an escape is malformed, the result is not UTF-8 or it
// holds a NUL (which would cut a C string short).
std::optional<std::string> WebServerPercentUnescape(std::string_view text);

// Parses "application/x-www-form-urlencoded" text; a later key replaces an earlier one and pairs
// that do not decode are dropped with a warning.
std::map<std::string, std::string> WebServerParseFormString(std::string_view form);

// Numeric host (and ":port" when asked) of a socket address; "" when it cannot be converted.
std::string WebServerAddressString(const net::SocketAddress& address, bool includePort);
// The numeric address of the primary network interface, or nothing.
std::optional<std::string> WebServerPrimaryAddress(bool useIPv6);

// The 32-character lower-case hexadecimal MD5 of the bytes of `text`.
std::string WebServerMD5Hex(std::string_view text);

// Resolves ".", ".." and empty pieces without ever climbing above the root: '/a/../../b' gives
// '/b', '../x' gives 'x'; a leading "/" is kept.
std::string WebServerCleanPath(std::optional<std::string_view> path);

// Sorts names as a file browser shows them (case-insensitive, digit runs by value).
void WebServerSortNamesForBrowsing(std::vector<std::string>& names);
// The same order for `count` names that `nameAt` gives by index: the indices in that order.
std::vector<std::size_t> WebServerBrowsingOrder(std::size_t count,
                                                const std::function<std::string_view(std::size_t)>& nameAt);

// The system's text for an errno value followed by the value: "Permission denied (13)".
std::string WebServerErrnoText(int errnum);

// ASCII lower-case.
std::string WebServerLowercase(std::string_view text);
bool WebServerHasPrefixIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace reelhaven
