#include "platform/ui/text/caret_stops.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ui/text/bidi_paragraph.h"
#include "platform/ui/text/text_boundaries.h"

namespace ui {

namespace {

// Sums of advances: places closer than this are one place.
constexpr double tolerance = 1e-6;

double leading(const CaretStops::Cell& cell) { return cell.rightToLeft ? cell.right : cell.left; }
double trailing(const CaretStops::Cell& cell) { return cell.rightToLeft ? cell.left : cell.right; }

// The starts of the characters of text[from, to), as offsets into the whole text, with `to`.
std::vector<size_t> boundaries(std::string_view text, size_t from, size_t to) {
    std::vector<size_t> result{from};
    for (const size_t b : text_boundaries::graphemeBreaks(text.substr(from, to - from))) result.push_back(from + b);
    if (result.back() != to) result.push_back(to);
    return result;
}

}  // namespace

CaretStops CaretStops::ofLine(const TextLine& line, std::string_view text) {
    CaretStops stops;
    stops.m_start = std::min(line.sourceStart, text.size());
    stops.m_end = std::clamp(line.sourceEnd, stops.m_start, text.size());
    stops.m_rightToLeft = line.rightToLeft;
    stops.m_width = line.width;
    const auto bounds = boundaries(text, stops.m_start, stops.m_end);
    const size_t count = bounds.size() - 1;
    std::vector<std::optional<Cell>> cells(count);
    auto indexOf = [&](size_t offset) {
        return static_cast<size_t>(std::upper_bound(bounds.begin(), bounds.end(), offset) - bounds.begin()) - 1;
    };
    // A cluster of glyphs stands for the characters its bytes begin: they share its width evenly
    // (a ligature), in the order the run reads.
    auto place = [&](size_t from, size_t to, double left, double right, bool rightToLeft) {
        from = std::max(from, stops.m_start);
        to = std::min(to, stops.m_end);
        if (from >= to) return;
        const size_t first = indexOf(from), last = std::min(indexOf(to - 1), count - 1);
        const double share = (right - left) / static_cast<double>(last - first + 1);
        for (size_t i = first; i <= last; ++i) {
            const double step = static_cast<double>(i - first);
            const double a = rightToLeft ? right - (step + 1) * share : left + step * share;
            auto& cell = cells[i];
            if (!cell) {
                cell = Cell{bounds[i], bounds[i + 1], a, a + share, rightToLeft};
            } else {
                cell->left = std::min(cell->left, a);
                cell->right = std::max(cell->right, a + share);
            }
        }
    };
    for (const auto& run : line.runs) {
        if (run.sourceStart >= run.sourceEnd) continue;  // an inserted "…" shows no character
        if (run.attachment || run.glyphs.empty()) {
            place(run.sourceStart, run.sourceEnd, run.x, run.x + run.width, run.rightToLeft);
            continue;
        }
        std::vector<size_t> starts;
        for (const auto& glyph : run.glyphs) starts.push_back(glyph.sourceIndex);
        std::sort(starts.begin(), starts.end());
        double pen = run.x;
        for (size_t g = 0; g < run.glyphs.size();) {
            const size_t source = run.glyphs[g].sourceIndex;
            const double left = pen;
            for (; g < run.glyphs.size() && run.glyphs[g].sourceIndex == source; ++g) pen += run.glyphs[g].advance;
            const auto next = std::upper_bound(starts.begin(), starts.end(), source);
            place(source, next == starts.end() ? run.sourceEnd : *next, left, pen, run.rightToLeft);
        }
    }
    // A character no glyph shows takes no room, after the one before it.
    double x = stops.m_rightToLeft ? stops.m_width : 0;
    for (auto& cell : cells) {
        if (!cell) cell = Cell{0, 0, x, x, stops.m_rightToLeft};
        x = trailing(*cell);
    }
    for (size_t i = 0; i < count; ++i) {
        cells[i]->start = bounds[i];
        cells[i]->end = bounds[i + 1];
        stops.m_cells.push_back(*cells[i]);
    }
    stops.finish();
    return stops;
}

CaretStops CaretStops::ofText(std::string_view text) {
    CaretStops stops;
    stops.m_end = text.size();
    const auto bounds = boundaries(text, 0, text.size());
    const auto bidi = BidiParagraph::analyze(text);
    stops.m_rightToLeft = bidi.rightToLeft;
    std::vector<int> levels;
    levels.reserve(bounds.size());
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        // The runs are in the text's order: the one holding the character is the last that starts
        // at or before it.
        const auto after = std::upper_bound(bidi.runs.begin(), bidi.runs.end(), bounds[i],
                                            [](size_t at, const BidiParagraph::Run& run) { return at < run.start; });
        const bool inside = after != bidi.runs.begin() && bounds[i] < std::prev(after)->end;
        levels.push_back(inside ? std::prev(after)->level : 0);
    }
    const auto order = BidiParagraph::visualOrder(levels);
    for (size_t position = 0; position < order.size(); ++position) {
        const size_t i = order[position];
        const auto left = static_cast<double>(position);
        stops.m_cells.push_back({bounds[i], bounds[i + 1], left, left + 1, levels[i] % 2 != 0});
    }
    stops.m_width = static_cast<double>(order.size());
    stops.finish();
    return stops;
}

const CaretStops& CaretStops::ofTextCached(const std::string& text) {
    thread_local std::string cachedText;
    thread_local CaretStops cached = ofText({});
    if (text != cachedText) {
        cached = ofText(text);
        cachedText = text;
    }
    return cached;
}

void CaretStops::finish() {
    std::stable_sort(m_cells.begin(), m_cells.end(), [](const Cell& a, const Cell& b) { return a.left < b.left; });
    m_logical.resize(m_cells.size());
    for (size_t i = 0; i < m_cells.size(); ++i) m_logical[i] = i;
    std::sort(m_logical.begin(), m_logical.end(),
              [this](size_t a, size_t b) { return m_cells[a].start < m_cells[b].start; });
    std::vector<size_t> offsets{m_start, m_end};
    for (const auto& cell : m_cells) offsets.push_back(cell.start);
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    for (const size_t offset : offsets) m_places.emplace_back(x(offset), offset);
    std::sort(m_places.begin(), m_places.end());
}

double CaretStops::x(size_t offset) const {
    if (m_logical.empty()) return m_rightToLeft ? m_width : 0;
    // The line's last character in the text's order, at its end; else the character the offset
    // begins or lies in; before the line, its first one.
    if (offset >= m_end) return trailing(m_cells[m_logical.back()]);
    const auto after = std::upper_bound(m_logical.begin(), m_logical.end(), offset,
                                        [this](size_t at, size_t cell) { return at < m_cells[cell].start; });
    if (after == m_logical.begin()) return leading(m_cells[m_logical.front()]);
    return leading(m_cells[*std::prev(after)]);
}

size_t CaretStops::nearest(double x) const {
    size_t best = m_start;
    double distance = std::numeric_limits<double>::infinity();
    for (const auto& [placeX, offset] : m_places) {
        if (std::abs(placeX - x) < distance - tolerance) {
            distance = std::abs(placeX - x);
            best = offset;
        }
    }
    return best;
}

std::optional<size_t> CaretStops::characterAt(double x) const {
    std::optional<size_t> best;
    double distance = std::numeric_limits<double>::infinity();
    for (const auto& cell : m_cells) {
        const double d = x < cell.left ? cell.left - x : x >= cell.right ? x - cell.right : 0;
        if (d < distance) {
            distance = d;
            best = cell.start;
        }
    }
    return best;
}

size_t CaretStops::neighbour(size_t offset, int side) const {
    const double from = x(offset);
    // The places are ordered by x: the nearest that way are the first past `from` on that side,
    // and those that show at the same spot.
    auto byX = [](const std::pair<double, size_t>& place, double at) { return place.first < at; };
    size_t first = 0, last = 0;  // the group nearest that way, [first, last)
    if (side > 0) {
        first = static_cast<size_t>(
            std::upper_bound(m_places.begin(), m_places.end(), from + tolerance,
                             [](double at, const std::pair<double, size_t>& place) { return at < place.first; }) -
            m_places.begin());
        if (first == m_places.size()) return offset;
        last = first + 1;
        while (last < m_places.size() && m_places[last].first <= m_places[last - 1].first + tolerance) ++last;
    } else {
        last = static_cast<size_t>(std::lower_bound(m_places.begin(), m_places.end(), from - tolerance, byX) -
                                   m_places.begin());
        if (last == 0) return offset;
        first = last - 1;
        while (first > 0 && m_places[first - 1].first >= m_places[first].first - tolerance) --first;
    }
    // Two places that show at one spot: the one nearer in the text.
    auto apart = [offset](size_t other) { return other > offset ? other - offset : offset - other; };
    size_t best = m_places[first].second;
    for (size_t i = first + 1; i < last; ++i) {
        if (apart(m_places[i].second) < apart(best)) best = m_places[i].second;
    }
    return best;
}

size_t CaretStops::leftOf(size_t offset) const { return neighbour(offset, -1); }

size_t CaretStops::rightOf(size_t offset) const { return neighbour(offset, 1); }

std::vector<std::pair<double, double>> CaretStops::spans(size_t from, size_t to) const {
    std::vector<std::pair<double, double>> result;
    for (const auto& cell : m_cells) {
        if (cell.start < from || cell.end > to || cell.start >= cell.end) continue;
        if (!result.empty() && cell.left <= result.back().second + tolerance) {
            result.back().second = std::max(result.back().second, cell.right);
        } else {
            result.emplace_back(cell.left, cell.right);
        }
    }
    return result;
}

}  // namespace ui
