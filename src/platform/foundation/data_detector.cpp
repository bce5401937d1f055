#include "platform/foundation/data_detector.h"

#include <algorithm>
#include <array>
#include <string>

namespace foundation {

namespace {

// Text decoded once: code points with the UTF-8 offset and UTF-16 offset each starts at.
struct Decoded {
    std::vector<char32_t> points;
    std::vector<size_t> byteOffset;   // size points + 1
    std::vector<size_t> utf16Offset;  // size points + 1
};

Decoded decode(std::string_view text) {
    Decoded d;
    size_t i = 0;
    size_t units = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        char32_t point = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) valid = false;
            point = (point << 6) | (next & 0x3F);
        }
        const size_t length = valid ? static_cast<size_t>(extra) + 1 : 1;
        if (!valid) point = 0xFFFD;  // a stray byte stands for one unit of its own
        d.points.push_back(point);
        d.byteOffset.push_back(i);
        d.utf16Offset.push_back(units);
        units += point > 0xFFFF ? 2 : 1;
        i += length;
    }
    d.byteOffset.push_back(text.size());
    d.utf16Offset.push_back(units);
    return d;
}

bool isAsciiAlpha(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool isSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == 0x85 || c == 0xA0 ||
           c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}
// Letters and digits of any script count as word characters (for boundaries and host labels).
bool isWordChar(char32_t c) { return isAsciiAlpha(c) || isAsciiDigit(c) || c >= 0x80; }
bool isLinkChar(char32_t c) { return !isSpace(c) && c >= 0x20 && c != 0x7F && c != '<' && c != '>' && c != '"'; }
bool isLabelChar(char32_t c) { return isWordChar(c) && !isSpace(c); }

// Generic domains people type; every two-letter domain (a country) is known as well.
bool isKnownTopLevelDomain(std::u32string_view label) {
    if (label.size() == 2) return isAsciiAlpha(label[0]) && isAsciiAlpha(label[1]);
    static const std::array<std::string_view, 32> generic{
        "com",  "net", "org",  "edu",  "gov",  "mil",    "int",    "info",   "biz",   "name",  "pro",
        "app",  "dev", "xyz",  "site", "tech", "online", "store",  "blog",   "cloud", "media", "video",
        "live", "tv",  "mobi", "asia", "coop", "aero",   "museum", "travel", "jobs",  "stream"};
    std::string lower;
    for (char32_t c : label) {
        if (!isAsciiAlpha(c)) return false;
        lower.push_back(static_cast<char>(c | 0x20));
    }
    return std::find(generic.begin(), generic.end(), lower) != generic.end();
}

// Scans one link candidate of a Decoded text.
class LinkScanner {
public:
    LinkScanner(const Decoded& text, size_t end) : m_p(text.points), m_end(end) {}

    // The end of a link that starts at `start` (a word boundary), or none.
    enum class Kind { scheme, host, email };
    struct Found {
        size_t end;
        Kind kind;
    };
    std::optional<Found> at(size_t start) const {
        if (auto end = schemeLink(start)) return Found{*end, Kind::scheme};
        if (auto end = email(start)) return Found{*end, Kind::email};
        if (auto end = hostLink(start)) return Found{*end, Kind::host};
        return std::nullopt;
    }

private:
    // "scheme://" then a host of at least one character.
    std::optional<size_t> schemeLink(size_t start) const {
        if (start >= m_end || !isAsciiAlpha(m_p[start])) return std::nullopt;
        size_t i = start + 1;
        while (i < m_end &&
               (isAsciiAlpha(m_p[i]) || isAsciiDigit(m_p[i]) || m_p[i] == '+' || m_p[i] == '-' || m_p[i] == '.'))
            ++i;
        if (i + 3 > m_end || m_p[i] != ':' || m_p[i + 1] != '/' || m_p[i + 2] != '/') return std::nullopt;
        const size_t hostStart = i + 3;
        const size_t end = trimmed(hostStart, runOfLinkChars(hostStart));
        size_t hostEnd = hostStart;
        while (hostEnd < end && m_p[hostEnd] != '/' && m_p[hostEnd] != '?' && m_p[hostEnd] != '#') ++hostEnd;
        if (hostEnd == hostStart) return std::nullopt;
        return end;
    }

    // local@host.tld
    std::optional<size_t> email(size_t start) const {
        size_t i = start;
        auto isLocal = [](char32_t c) {
            return isAsciiAlpha(c) || isAsciiDigit(c) || c == '.' || c == '_' || c == '%' || c == '+' || c == '-';
        };
        while (i < m_end && isLocal(m_p[i])) ++i;
        if (i == start || i >= m_end || m_p[i] != '@') return std::nullopt;
        const auto end = domain(i + 1);
        if (!end) return std::nullopt;
        return *end;
    }

    // host.tld[:port][/path...]
    std::optional<size_t> hostLink(size_t start) const {
        const auto hostEnd = domain(start);
        if (!hostEnd) return std::nullopt;
        size_t i = *hostEnd;
        if (i < m_end && m_p[i] == ':' && i + 1 < m_end && isAsciiDigit(m_p[i + 1])) {
            ++i;
            while (i < m_end && isAsciiDigit(m_p[i])) ++i;
        }
        if (i < m_end && (m_p[i] == '/' || m_p[i] == '?' || m_p[i] == '#'))
            return std::max(i, trimmed(i, runOfLinkChars(i)));
        return i;
    }

    // Labels of word characters and inner hyphens joined by dots, the last one a known domain.
    std::optional<size_t> domain(size_t start) const {
        size_t i = start;
        size_t labels = 0;
        size_t lastLabel = start;
        while (true) {
            const size_t labelStart = i;
            while (i < m_end && (isLabelChar(m_p[i]) || (m_p[i] == '-' && i > labelStart))) ++i;
            if (i == labelStart || m_p[i - 1] == '-') return std::nullopt;
            ++labels;
            lastLabel = labelStart;
            if (i + 1 < m_end && m_p[i] == '.' && isLabelChar(m_p[i + 1])) {
                ++i;
                continue;
            }
            break;
        }
        if (labels < 2 || !isKnownTopLevelDomain(std::u32string_view(&m_p[lastLabel], i - lastLabel)))
            return std::nullopt;
        if (i < m_end && (isWordChar(m_p[i]) || m_p[i] == '@' || m_p[i] == '_')) return std::nullopt;
        return i;
    }

    size_t runOfLinkChars(size_t from) const {
        while (from < m_end && isLinkChar(m_p[from])) ++from;
        return from;
    }

    // Leaves out trailing sentence punctuation and closing brackets that close nothing inside.
    size_t trimmed(size_t start, size_t end) const {
        while (end > start) {
            const char32_t last = m_p[end - 1];
            if (last == '.' || last == ',' || last == ';' || last == ':' || last == '!' || last == '?' ||
                last == '\'') {
                --end;
            } else if (last == ')' || last == ']' || last == '}') {
                const char32_t open = last == ')' ? '(' : last == ']' ? '[' : '{';
                const auto opens =
                    std::count(m_p.begin() + static_cast<long>(start), m_p.begin() + static_cast<long>(end), open);
                const auto closes =
                    std::count(m_p.begin() + static_cast<long>(start), m_p.begin() + static_cast<long>(end), last);
                if (closes <= opens) break;
                --end;
            } else {
                break;
            }
        }
        return end;
    }

    const std::vector<char32_t>& m_p;
    size_t m_end;
};

}  // namespace

Result<DataDetector> DataDetector::create(std::uint32_t types) {
    if ((types & link) == 0)
        return Error::foundation(kErrorInvalidArgument, "a data detector needs a type it can check (link)");
    return DataDetector(types);
}

size_t DataDetector::utf16Length(std::string_view utf8) { return decode(utf8).utf16Offset.back(); }

std::vector<TextCheckingResult> DataDetector::matches(std::string_view utf8, TextRange range) const {
    std::vector<TextCheckingResult> found;
    if ((m_types & link) == 0) return found;
    const Decoded text = decode(utf8);
    const size_t total = text.utf16Offset.back();
    const size_t from16 = std::min(range.location, total);
    const size_t to16 = std::min(total, from16 + std::min(range.length, total - from16));
    // Code points whose units lie inside the range.
    const auto first = static_cast<size_t>(
        std::lower_bound(text.utf16Offset.begin(), text.utf16Offset.end() - 1, from16) - text.utf16Offset.begin());
    size_t end = first;
    while (end < text.points.size() && text.utf16Offset[end + 1] <= to16) ++end;

    const LinkScanner scanner(text, end);
    size_t i = first;
    while (i < end) {
        const bool boundary =
            i == first || !(isWordChar(text.points[i - 1]) || text.points[i - 1] == '.' || text.points[i - 1] == '@' ||
                            text.points[i - 1] == '-' || text.points[i - 1] == '_' || text.points[i - 1] == '/');
        const auto link = boundary ? scanner.at(i) : std::nullopt;
        if (!link) {
            ++i;
            continue;
        }
        const std::string_view piece = utf8.substr(text.byteOffset[i], text.byteOffset[link->end] - text.byteOffset[i]);
        std::string address(piece);
        if (link->kind == LinkScanner::Kind::host) address = "http://" + address;
        if (link->kind == LinkScanner::Kind::email) address = "mailto:" + address;
        found.push_back(
            {{text.utf16Offset[i], text.utf16Offset[link->end] - text.utf16Offset[i]}, URL::parse(address)});
        i = link->end;
    }
    return found;
}

std::optional<TextCheckingResult> DataDetector::firstMatch(std::string_view utf8, TextRange range) const {
    auto all = matches(utf8, range);
    if (all.empty()) return std::nullopt;
    return all.front();
}

}  // namespace foundation
