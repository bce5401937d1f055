#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace ui::layout {

// Coefficients smaller than this are taken for zero, so rounding never leaves ghost terms.
inline constexpr double nearZeroEpsilon = 1e-8;
inline bool nearZero(double value) { return std::fabs(value) < nearZeroEpsilon; }

// One row of the simplex tableau: constant + sum of coefficient x symbol, kept sorted by symbol
// so lookups are binary searches and adding one row to another is a single merge.
class SolverRow {
public:
    struct Cell {
        std::uint32_t symbol;
        double coefficient;
    };

    double constant = 0;

    const std::vector<Cell>& cells() const { return m_cells; }
    bool empty() const { return m_cells.empty(); }
    void clear() {
        m_cells.clear();
        constant = 0;
    }

    double coefficientFor(std::uint32_t symbol) const {
        const auto it = find(symbol);
        return it != m_cells.end() && it->symbol == symbol ? it->coefficient : 0.0;
    }
    bool contains(std::uint32_t symbol) const {
        const auto it = find(symbol);
        return it != m_cells.end() && it->symbol == symbol;
    }

    // Adds coefficient x symbol; returns true when the symbol is new to the row.
    bool insert(std::uint32_t symbol, double coefficient) {
        auto it = std::lower_bound(m_cells.begin(), m_cells.end(), symbol,
                                   [](const Cell& cell, std::uint32_t s) { return cell.symbol < s; });
        if (it != m_cells.end() && it->symbol == symbol) {
            it->coefficient += coefficient;
            if (nearZero(it->coefficient)) m_cells.erase(it);
            return false;
        }
        if (nearZero(coefficient)) return false;
        m_cells.insert(it, {symbol, coefficient});
        return true;
    }

    void remove(std::uint32_t symbol) {
        const auto it = find(symbol);
        if (it != m_cells.end() && it->symbol == symbol) m_cells.erase(it);
    }

    // this += factor x other, leaving `skip` out of the result. `added(symbol)` hears each symbol
    // new to this row, `cancelled(symbol)` each one that cancels out of it. `scratch` lends its
    // storage, so merging allocates nothing once warm.
    template <class Added, class Cancelled>
    void insertRow(const SolverRow& other, double factor, std::uint32_t skip, std::vector<Cell>& scratch, Added&& added,
                   Cancelled&& cancelled) {
        constant += other.constant * factor;
        scratch.clear();
        scratch.reserve(m_cells.size() + other.m_cells.size());
        auto a = m_cells.begin();
        auto b = other.m_cells.begin();
        const auto aEnd = m_cells.end();
        const auto bEnd = other.m_cells.end();
        while (a != aEnd || b != bEnd) {
            if (b == bEnd || (a != aEnd && a->symbol < b->symbol)) {
                if (a->symbol != skip) scratch.push_back(*a);
                ++a;
            } else if (a == aEnd || b->symbol < a->symbol) {
                const double value = b->coefficient * factor;
                if (b->symbol != skip && !nearZero(value)) {
                    scratch.push_back({b->symbol, value});
                    added(b->symbol);
                }
                ++b;
            } else {
                const double value = a->coefficient + b->coefficient * factor;
                if (a->symbol != skip) {
                    if (!nearZero(value)) {
                        scratch.push_back({a->symbol, value});
                    } else {
                        cancelled(a->symbol);
                    }
                }
                ++a;
                ++b;
            }
        }
        m_cells.swap(scratch);
    }

    // Replaces `symbol` by the row that defines it (a basic symbol's row).
    template <class Added, class Cancelled>
    bool substitute(std::uint32_t symbol, const SolverRow& definition, std::vector<Cell>& scratch, Added&& added,
                    Cancelled&& cancelled) {
        const double coefficient = coefficientFor(symbol);
        if (coefficient == 0) return false;
        insertRow(definition, coefficient, symbol, scratch, std::forward<Added>(added),
                  std::forward<Cancelled>(cancelled));
        return true;
    }

    void negate() {
        constant = -constant;
        for (Cell& cell : m_cells) cell.coefficient = -cell.coefficient;
    }

    // Reads the row as "0 = row" and turns it into the definition of `symbol`:
    // symbol = -(rest) / coefficient. The symbol leaves the row.
    void solveFor(std::uint32_t symbol) {
        const auto it = find(symbol);
        const double factor = -1.0 / it->coefficient;
        m_cells.erase(it);
        constant *= factor;
        for (Cell& cell : m_cells) cell.coefficient *= factor;
    }

    // The row defines `basic`; make it define `entering` instead (which it holds).
    void solveFor(std::uint32_t basic, std::uint32_t entering) {
        insert(basic, -1.0);
        solveFor(entering);
    }

private:
    std::vector<Cell>::const_iterator find(std::uint32_t symbol) const {
        return std::lower_bound(m_cells.begin(), m_cells.end(), symbol,
                                [](const Cell& cell, std::uint32_t s) { return cell.symbol < s; });
    }
    std::vector<Cell>::iterator find(std::uint32_t symbol) {
        return std::lower_bound(m_cells.begin(), m_cells.end(), symbol,
                                [](const Cell& cell, std::uint32_t s) { return cell.symbol < s; });
    }

    std::vector<Cell> m_cells;
};

}  // namespace ui::layout
