#include "platform/ui/layout/visual_format_parser.h"

#include <cctype>
#include <cstdlib>

#include "platform/ui/views/view.h"

namespace ui {

namespace {

constexpr double standardSiblingGap = 8;
constexpr double standardSuperviewGap = 20;

}  // namespace

bool VisualFormatParser::fail(const std::string& why) {
    m_error = why + " at " + std::to_string(m_pos) + " in \"" + m_format + "\"";
    return false;
}

bool VisualFormatParser::consume(char c) {
    if (!at(c)) return false;
    ++m_pos;
    return true;
}

std::string VisualFormatParser::readName() {
    const size_t start = m_pos;
    while (m_pos < m_format.size() &&
           (std::isalnum(static_cast<unsigned char>(m_format[m_pos])) || m_format[m_pos] == '_'))
        ++m_pos;
    return m_format.substr(start, m_pos - start);
}

bool VisualFormatParser::readNumber(double& value) {
    const char* begin = m_format.c_str() + m_pos;
    char* end = nullptr;
    value = std::strtod(begin, &end);
    if (end == begin) return false;
    m_pos += static_cast<size_t>(end - begin);
    return true;
}

bool VisualFormatParser::readPredicate(Predicate& predicate) {
    if (m_format.compare(m_pos, 2, "==") == 0) {
        m_pos += 2;
    } else if (m_format.compare(m_pos, 2, ">=") == 0) {
        predicate.relation = LayoutRelation::greaterThanOrEqual;
        m_pos += 2;
    } else if (m_format.compare(m_pos, 2, "<=") == 0) {
        predicate.relation = LayoutRelation::lessThanOrEqual;
        m_pos += 2;
    }
    if (m_pos < m_format.size() && (std::isdigit(static_cast<unsigned char>(m_format[m_pos])) || at('-') || at('.'))) {
        if (!readNumber(predicate.constant)) return fail("expected a number");
    } else {
        const std::string name = readName();
        if (name.empty()) return fail("expected a number, metric or view");
        if (auto metric = m_metrics.find(name); metric != m_metrics.end()) {
            predicate.constant = metric->second;
        } else if (auto view = m_views.find(name); view != m_views.end()) {
            predicate.view = view->second;
        } else {
            return fail("unknown metric or view \"" + name + "\"");
        }
    }
    if (consume('@')) {
        double priority = 0;
        if (readNumber(priority)) {
            predicate.priority = static_cast<float>(priority);
        } else {
            const std::string name = readName();
            const auto metric = m_metrics.find(name);
            if (metric == m_metrics.end()) return fail("bad priority");
            predicate.priority = static_cast<float>(metric->second);
        }
    }
    return true;
}

bool VisualFormatParser::readPredicateList(std::vector<Predicate>& predicates) {
    if (!consume('(')) return fail("expected (");
    do {
        Predicate predicate;
        if (!readPredicate(predicate)) return false;
        predicates.push_back(predicate);
    } while (consume(','));
    if (!consume(')')) return fail("expected )");
    return true;
}

bool VisualFormatParser::readGap(std::vector<Predicate>& gap) {
    if (at('[') || at('|')) return true;  // "-" alone: the standard gap, left empty here
    if (at('(')) {
        if (!readPredicateList(gap)) return false;
    } else {
        Predicate predicate;
        if (!readPredicate(predicate)) return false;
        gap.push_back(predicate);
    }
    if (!consume('-')) return fail("expected - after a gap");
    return true;
}

void VisualFormatParser::addGap(const std::shared_ptr<View>& before, const std::shared_ptr<View>& after,
                                const std::vector<Predicate>& gap) {
    const LayoutAttribute leading = m_vertical ? LayoutAttribute::top : LayoutAttribute::leading;
    const LayoutAttribute trailing = m_vertical ? LayoutAttribute::bottom : LayoutAttribute::trailing;
    for (const auto& predicate : gap) {
        std::shared_ptr<LayoutConstraint> constraint;
        if (after) {
            auto first = before ? before : after->superview();
            constraint = LayoutConstraint::create(after, leading, predicate.relation, first,
                                                  before ? trailing : leading, 1, predicate.constant);
        } else {
            auto parent = before->superview();
            constraint =
                LayoutConstraint::create(parent, trailing, predicate.relation, before, trailing, 1, predicate.constant);
        }
        constraint->setPriority(predicate.priority);
        constraint->setVisualFormat(m_format);
        m_result.push_back(constraint);
    }
}

std::optional<std::vector<std::shared_ptr<LayoutConstraint>>> VisualFormatParser::parse() {
    if (m_format.compare(0, 2, "V:") == 0) {
        m_vertical = true;
        m_pos = 2;
    } else if (m_format.compare(0, 2, "H:") == 0) {
        m_pos = 2;
    }
    const LayoutAttribute dimension = m_vertical ? LayoutAttribute::height : LayoutAttribute::width;
    bool fromSuperview = consume('|');
    std::shared_ptr<View> previous;
    std::vector<Predicate> gap;
    bool gapGiven = false;
    auto readConnection = [&]() -> bool {
        gap.clear();
        gapGiven = false;
        if (!consume('-')) {
            gap.push_back(Predicate{});  // adjacent: no gap
            return true;
        }
        gapGiven = true;
        if (!readGap(gap)) return false;
        return true;
    };
    if (fromSuperview && !readConnection()) return std::nullopt;
    while (consume('[')) {
        const std::string name = readName();
        const auto found = m_views.find(name);
        if (found == m_views.end()) {
            fail("unknown view \"" + name + "\"");
            return std::nullopt;
        }
        auto view = found->second;
        if (at('(')) {
            std::vector<Predicate> sizes;
            if (!readPredicateList(sizes)) return std::nullopt;
            for (const auto& size : sizes) {
                auto constraint = LayoutConstraint::create(view, dimension, size.relation, size.view,
                                                           size.view ? dimension : LayoutAttribute::notAnAttribute, 1,
                                                           size.view ? 0 : size.constant);
                constraint->setPriority(size.priority);
                constraint->setVisualFormat(m_format);
                m_result.push_back(constraint);
            }
        }
        if (!consume(']')) {
            fail("expected ]");
            return std::nullopt;
        }
        if (previous || fromSuperview) {
            if (gapGiven && gap.empty())
                gap.push_back(Predicate{LayoutRelation::equal, previous ? standardSiblingGap : standardSuperviewGap});
            addGap(previous, view, gap);
        }
        previous = view;
        if (m_pos >= m_format.size()) break;
        if (!readConnection()) return std::nullopt;
        if (consume('|')) {
            if (gapGiven && gap.empty()) gap.push_back(Predicate{LayoutRelation::equal, standardSuperviewGap});
            addGap(previous, nullptr, gap);
            break;
        }
        fromSuperview = false;
    }
    if (m_pos != m_format.size()) {
        fail("unexpected text");
        return std::nullopt;
    }
    return m_result;
}

}  // namespace ui
