#include "transfer/web_server_functions.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/foundation/md5.h"
#include "platform/foundation/string_compare.h"
#include "platform/foundation/url.h"
#include "platform/network/interface_addresses.h"
#include "platform/network/mime_types.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_utf8.h"

namespace reelhaven {

namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool parseDigits(std::string_view text, int& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

std::vector<std::size_t> WebServerBrowsingOrder(std::size_t count,
                                                const std::function<std::string_view(std::size_t)>& nameAt) {
    // Sort keys once per name: comparing them is far cheaper than collating texts again and again.
    // They share one buffer (a folder may hold hundreds of thousands of names).
    struct Key {
        std::size_t offset;
        std::size_t length;
        std::size_t index;
    };
    std::string keys;
    std::vector<Key> keyed;
    keyed.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        std::string key = foundation::StringCompare::localizedStandardSortKey(nameAt(index));
        keyed.push_back({keys.size(), key.size(), index});
        keys += key;
    }
    auto view = [&](const Key& key) { return std::string_view(keys).substr(key.offset, key.length); };
    std::sort(keyed.begin(), keyed.end(), [&](const Key& a, const Key& b) {
        int order = view(a).compare(view(b));
        return order != 0 ? order < 0 : a.index < b.index;
    });
    std::vector<std::size_t> order;
    order.reserve(count);
    for (const auto& key : keyed) order.push_back(key.index);
    return order;
}

void WebServerSortNamesForBrowsing(std::vector<std::string>& names) {
    std::vector<std::size_t> order =
        WebServerBrowsingOrder(names.size(), [&](std::size_t index) -> std::string_view { return names[index]; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t index : order) sorted.push_back(std::move(names[index]));
    names = std::move(sorted);
}

std::string WebServerErrnoText(int errnum) {
    return std::string(std::strerror(errnum)) + " (" + std::to_string(errnum) + ")";
}

std::string WebServerLowercase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = lowerChar(c);
    return result;
}

bool WebServerHasPrefixIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lowerChar(text[i]) != lowerChar(prefix[i])) return false;
    }
    return true;
}

std::string WebServerHTTPDateString(foundation::Date date) {
    auto seconds = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970));
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kWeekdays[parts.tm_wday], parts.tm_mday,
                  kMonths[parts.tm_mon], parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::optional<foundation::Date> WebServerDateFromHTTPDateString(std::string_view text) {
    // "Thu, 01 Jan 1970 00:00:00 GMT": 29 characters at fixed places.
    if (text.size() != 29 || text.substr(3, 2) != ", " || text[7] != ' ' || text[11] != ' ' || text[16] != ' ' ||
        text[19] != ':' || text[22] != ':' || text.substr(25) != " GMT") {
        return std::nullopt;
    }
    int weekday = -1;
    for (int i = 0; i < 7; ++i) {
        if (text.substr(0, 3) == kWeekdays[i]) weekday = i;
    }
    int month = -1;
    for (int i = 0; i < 12; ++i) {
        if (text.substr(8, 3) == kMonths[i]) month = i;
    }
    int day, year, hour, minute, second;
    if (weekday < 0 || month < 0 || !parseDigits(text.substr(5, 2), day) || !parseDigits(text.substr(12, 4), year) ||
        !parseDigits(text.substr(17, 2), hour) || !parseDigits(text.substr(20, 2), minute) ||
        !parseDigits(text.substr(23, 2), second)) {
        return std::nullopt;
    }
    if (day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return std::nullopt;
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    std::time_t seconds = timegm(&parts);
    return foundation::Date{static_cast<double>(seconds)};
}

std::optional<std::string> WebServerLowercaseHeaderValue(std::optional<std::string_view> value) {
    if (!value) return std::nullopt;
    auto semicolon = value->find(';');
    if (semicolon == std::string_view::npos) return WebServerLowercase(*value);
    return WebServerLowercase(value->substr(0, semicolon)) + std::string(value->substr(semicolon));
}

std::optional<std::string> WebServerHeaderValueWithoutParameters(std::optional<std::string_view> value) {
    if (!value) return std::nullopt;
    return std::string(value->substr(0, value->find(';')));
}

std::optional<std::string> WebServerHeaderParameter(std::string_view value, std::string_view name) {
    // Walk the parameters after the first ";", each "name=value" or 'name="value"'.
    std::size_t position = value.find(';');
    while (position != std::string_view::npos && position < value.size()) {
        ++position;  // over ";"
        while (position < value.size() && isSpace(value[position])) ++position;
        std::size_t nameEnd = position;
        while (nameEnd < value.size() && value[nameEnd] != '=' && value[nameEnd] != ';' && !isSpace(value[nameEnd])) {
            ++nameEnd;
        }
        std::string_view parameterName = value.substr(position, nameEnd - position);
        std::size_t cursor = nameEnd;
        while (cursor < value.size() && isSpace(value[cursor])) ++cursor;
        bool hasValue = cursor < value.size() && value[cursor] == '=';
        std::string parameterValue;
        if (hasValue) {
            ++cursor;
            while (cursor < value.size() && isSpace(value[cursor])) ++cursor;
            if (cursor < value.size() && value[cursor] == '"') {
                std::size_t close = value.find('"', cursor + 1);
                if (close == std::string_view::npos) close = value.size();
                parameterValue = value.substr(cursor + 1, close - cursor - 1);
                cursor = close == value.size() ? close : close + 1;
            } else {
                std::size_t end = cursor;
                while (end < value.size() && value[end] != ';' && !isSpace(value[end])) ++end;
                parameterValue = value.substr(cursor, end - cursor);
                cursor = end;
            }
        }
        if (hasValue && parameterName.size() == name.size() && WebServerHasPrefixIgnoringCase(parameterName, name)) {
            return parameterValue;
        }
        position = value.find(';', cursor);
    }
    return std::nullopt;
}

std::string WebServerEncodingForCharset(std::optional<std::string_view> charset) {
    if (!charset || charset->empty()) return "UTF-8";
    std::string name(*charset);
    iconv_t probe = iconv_open("UTF-8", name.c_str());
    if (probe == reinterpret_cast<iconv_t>(-1)) return "UTF-8";
    iconv_close(probe);
    return name;
}

std::optional<std::string> WebServerDecodeText(std::string_view data, const std::string& encoding) {
    std::string upper = encoding;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    if (upper == "UTF-8" || upper == "UTF8") {
        if (!WebServerIsValidUTF8(data)) return std::nullopt;
        return std::string(data);
    }
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string output;
    std::vector<char> input(data.begin(), data.end());
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(converter);
    if (!ok) return std::nullopt;
    return output;
}

std::optional<std::string> WebServerDecodeTextOfContentType(std::string_view data, std::string_view contentType) {
    return WebServerDecodeText(data, WebServerEncodingForCharset(WebServerHeaderParameter(contentType, "charset")));
}

bool WebServerIsTextualContentType(std::string_view contentType) {
    return contentType.starts_with("text/") || contentType.starts_with("application/json") ||
           contentType.starts_with("application/xml");
}

std::string WebServerBodyDescription(std::string_view data, std::string_view contentType) {
    if (WebServerIsTextualContentType(contentType)) {
        if (auto text = WebServerDecodeTextOfContentType(data, contentType)) return *text;
    }
    return "<" + std::to_string(data.size()) + " bytes>";
}

std::string WebServerMIMETypeForExtension(std::string_view extension,
                                          const std::map<std::string, std::string>* overrides) {
    std::string lower = WebServerLowercase(extension);
    if (lower.empty()) return "application/octet-stream";
    if (overrides) {
        if (auto found = overrides->find(lower); found != overrides->end()) return found->second;
    }
    if (lower == "css") return "text/css";
    if (auto type = net::MimeTypes::system().typeForExtension(lower)) return *type;
    return "application/octet-stream";
}

std::string WebServerPercentEscapeExcept(std::string_view text, std::string_view allowed) {
    return foundation::URL::percentEncode(text, allowed);
}

std::string WebServerPercentEscape(std::string_view text) { return WebServerPercentEscapeExcept(text, ""); }

std::optional<std::string> WebServerPercentUnescape(std::string_view text) {
    auto result = foundation::URL::percentDecode(text);
    if (!result || result->find('\0') != std::string::npos || !WebServerIsValidUTF8(*result)) return std::nullopt;
    return result;
}

std::map<std::string, std::string> WebServerParseFormString(std::string_view form) {
    std::map<std::string, std::string> parameters;
    std::size_t position = 0;
    while (position < form.size()) {
        std::size_t equals = form.find('=', position);
        if (equals == std::string_view::npos || equals == position) break;
        std::string key(form.substr(position, equals - position));
        std::size_t ampersand = form.find('&', equals + 1);
        std::size_t valueEnd = ampersand == std::string_view::npos ? form.size() : ampersand;
        std::string value(form.substr(equals + 1, valueEnd - equals - 1));
        for (char& c : key) c = c == '+' ? ' ' : c;
        for (char& c : value) c = c == '+' ? ' ' : c;
        auto decodedKey = WebServerPercentUnescape(key);
        auto decodedValue = WebServerPercentUnescape(value);
        if (decodedKey && decodedValue) {
            parameters[*decodedKey] = *decodedValue;
        } else {
            WebServerLog(base::LogLevel::warning, [&] {
                return "Failed parsing URL encoded form for key \"" + key + "\" and value \"" + value + "\"";
            });
        }
        if (ampersand == std::string_view::npos) break;
        position = ampersand + 1;
    }
    return parameters;
}

std::string WebServerAddressString(const net::SocketAddress& address, bool includePort) {
    return address.toString(includePort);
}

std::optional<std::string> WebServerPrimaryAddress(bool useIPv6) {
    return net::primaryAddress(useIPv6 ? net::AddressFamily::ipv6 : net::AddressFamily::ipv4);
}

std::string WebServerMD5Hex(std::string_view text) { return foundation::md5Hex(text); }

std::string WebServerCleanPath(std::optional<std::string_view> path) {
    if (!path) return "";
    std::vector<std::string_view> kept;
    std::size_t start = 0;
    while (start <= path->size()) {
        std::size_t slash = path->find('/', start);
        std::size_t end = slash == std::string_view::npos ? path->size() : slash;
        std::string_view piece = path->substr(start, end - start);
        if (piece == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!piece.empty() && piece != ".") {
            kept.push_back(piece);
        }
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    std::string result = path->starts_with('/') ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += '/';
        result += kept[i];
    }
    return result;
}

}  // namespace reelhaven
