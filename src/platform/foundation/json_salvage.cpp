#include "platform/foundation/json_salvage.h"

namespace foundation {

namespace {

constexpr std::size_t kNoEnd = std::string_view::npos;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Walks the text of one object's members, one member at a time, without parsing the values.
class MemberScanner {
public:
    MemberScanner(std::string_view text, std::size_t position) : m_text(text), m_position(position) {}

    std::size_t position() const { return m_position; }
    bool atEnd() const { return m_position >= m_text.size(); }
    char current() const { return m_text[m_position]; }
    void advance() { ++m_position; }

    void skipSpace() {
        while (!atEnd() && isSpace(current())) ++m_position;
    }

    // Moves past the string that starts here; false when the text ends inside it.
    bool skipString() {
        for (++m_position; m_position < m_text.size(); ++m_position) {
            if (m_text[m_position] == '\\') {
                ++m_position;
            } else if (m_text[m_position] == '"') {
                ++m_position;
                return true;
            }
        }
        return false;
    }

    // Moves to the ',' or '}' that ends the value starting here (outside strings and nested
    // brackets) and returns the value's text; nothing when the text ends first.
    std::optional<std::string_view> skipValue() {
        const std::size_t start = m_position;
        int nesting = 0;
        while (!atEnd()) {
            const char c = current();
            if (c == '"') {
                if (!skipString()) return std::nullopt;
                continue;
            }
            if (nesting == 0 && (c == ',' || c == '}')) return m_text.substr(start, m_position - start);
            if (c == '{' || c == '[') ++nesting;
            if ((c == '}' || c == ']') && nesting > 0) --nesting;
            ++m_position;
        }
        return std::nullopt;
    }

    std::string_view text(std::size_t from, std::size_t to) const { return m_text.substr(from, to - from); }

private:
    std::string_view m_text;
    std::size_t m_position;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string keyText(std::string_view quoted) {
    auto key = JsonCoding::parse(quoted);
    if (key && key->is_string()) return key->get<std::string>();
    return std::string(quoted);
}

std::optional<SalvagedJsonObject> salvageObject(std::string_view text, int depth, int room);

// One member's value: parsed whole, or salvaged when it is an object and depth allows. `room` is
// how deep the value may nest, so what is salvaged nests no deeper than a whole parse allows.
void takeValue(SalvagedJsonObject& result, const std::string& key, std::string_view value, int depth, int room) {
    if (auto parsed = JsonCoding::parse(value, room)) {
        result.object[key] = std::move(*parsed);
        return;
    }
    result.lost.push_back(key);
    if (depth <= 0 || !trimmed(value).starts_with('{')) return;
    if (auto inner = salvageObject(value, depth - 1, room); inner && inner->complete)
        result.object[key] = std::move(inner->object);
}

SalvagedJsonObject salvageMembers(std::string_view text, std::size_t afterBrace, int depth, int room) {
    SalvagedJsonObject result;
    MemberScanner scanner(text, afterBrace);
    for (;;) {
        scanner.skipSpace();
        if (scanner.atEnd()) return result;
        if (scanner.current() == '}') {
            scanner.advance();
            scanner.skipSpace();
            result.complete = scanner.atEnd();
            return result;
        }
        if (scanner.current() == ',') {
            scanner.advance();
            continue;
        }
        std::optional<std::string> key;
        if (scanner.current() == '"') {
            const std::size_t keyStart = scanner.position();
            if (!scanner.skipString()) return result;
            key = keyText(scanner.text(keyStart, scanner.position()));
            scanner.skipSpace();
        }
        if (key && !scanner.atEnd() && scanner.current() == ':') {
            scanner.advance();
            auto value = scanner.skipValue();
            if (!value) {
                result.lost.push_back(*key);
                return result;
            }
            takeValue(result, *key, *value, depth, room - 1);
            continue;
        }
        // Not a member: passed over up to the next one.
        result.lost.push_back(key.value_or(""));
        if (!scanner.skipValue()) return result;
    }
}

std::optional<SalvagedJsonObject> salvageObject(std::string_view text, int depth, int room) {
    if (auto whole = JsonCoding::parse(text, room)) {
        if (!whole->is_object()) return std::nullopt;
        SalvagedJsonObject result;
        result.object = std::move(*whole);
        result.complete = true;
        return result;
    }
    std::size_t start = 0;
    while (start < text.size() && isSpace(text[start])) ++start;
    if (start == text.size() || text[start] != '{') return std::nullopt;
    return salvageMembers(text, start + 1, depth, room);
}

}  // namespace

std::optional<SalvagedJsonObject> salvageJsonObject(std::string_view text, int depth) {
    return salvageObject(text, depth, JsonCoding::kMaximumDepth);
}

}  // namespace foundation
