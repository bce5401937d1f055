#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/layout/layout_constraint.h"

namespace ui {

// Turns a visual-format string into constraints:
//   [H:|V:] [| connection] [view(predicates)] (connection [view])* [connection |]
// where a connection is empty (no gap), "-" (the standard gap: 8 between views, 20 to the
// superview) or "-(predicates)-" / "-number-" / "-metric-", and a predicate is
// [==|>=|<=] (number|metric|view) [@priority].
class VisualFormatParser {
public:
    VisualFormatParser(std::string format, const std::map<std::string, double>& metrics,
                       const std::map<std::string, std::shared_ptr<View>>& views)
        : m_format(std::move(format)), m_metrics(metrics), m_views(views) {}

    // None when the format cannot be read; `error()` then says why.
    std::optional<std::vector<std::shared_ptr<LayoutConstraint>>> parse();
    const std::string& error() const { return m_error; }

private:
    struct Predicate {
        LayoutRelation relation = LayoutRelation::equal;
        double constant = 0;
        std::shared_ptr<View> view;
        float priority = LayoutPriority::required;
    };

    bool fail(const std::string& why);
    bool at(char c) const { return m_pos < m_format.size() && m_format[m_pos] == c; }
    bool consume(char c);
    std::string readName();
    bool readNumber(double& value);
    bool readPredicate(Predicate& predicate);
    bool readPredicateList(std::vector<Predicate>& predicates);
    // After '-': reads the gap up to and including the closing '-'.
    bool readGap(std::vector<Predicate>& gap);
    void addGap(const std::shared_ptr<View>& before, const std::shared_ptr<View>& after,
                const std::vector<Predicate>& gap);

    std::string m_format;
    const std::map<std::string, double>& m_metrics;
    const std::map<std::string, std::shared_ptr<View>>& m_views;
    size_t m_pos = 0;
    bool m_vertical = false;
    std::string m_error;
    std::vector<std::shared_ptr<LayoutConstraint>> m_result;
};

}  // namespace ui
