#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace ui::layout {

// An unknown of a solver, named by the index the solver gave it.
struct Variable {
    static constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t id = none;

    bool isValid() const { return id != none; }
    bool operator==(const Variable&) const = default;
};

struct Term {
    Variable variable;
    double coefficient = 1;
};

// A sum of weighted variables plus a constant. Terms of the same variable may repeat; the solver
// adds them up.
class Expression {
public:
    Expression(double constant = 0) : m_constant(constant) {}  // NOLINT: a number is an expression
    Expression(Variable variable, double coefficient = 1) : m_terms{{variable, coefficient}} {}  // NOLINT

    const std::vector<Term>& terms() const { return m_terms; }
    double constant() const { return m_constant; }
    void setConstant(double constant) { m_constant = constant; }

    Expression& add(Variable variable, double coefficient = 1) {
        if (coefficient != 0) m_terms.push_back({variable, coefficient});
        return *this;
    }
    Expression& add(const Expression& other, double factor = 1) {
        for (const Term& term : other.m_terms) add(term.variable, term.coefficient * factor);
        m_constant += other.m_constant * factor;
        return *this;
    }
    Expression& operator+=(double constant) {
        m_constant += constant;
        return *this;
    }
    Expression& operator-=(double constant) {
        m_constant -= constant;
        return *this;
    }

    friend Expression operator+(Expression a, const Expression& b) { return a.add(b); }
    friend Expression operator-(Expression a, const Expression& b) { return a.add(b, -1); }
    friend Expression operator*(Expression a, double factor) { return Expression().add(a, factor); }
    friend Expression operator*(double factor, Expression a) { return Expression().add(a, factor); }

private:
    std::vector<Term> m_terms;
    double m_constant = 0;
};

// How an expression stands to zero in a constraint: expression <= 0, == 0 or >= 0.
enum class Relation { lessOrEqual, equal, greaterOrEqual };

// How hard a constraint holds. Required constraints always hold (or are refused); preferred
// ones are met as well as their weights allow; stays only settle what nothing else decides, so
// they never trade against a preferred constraint however many there are.
struct Strength {
    enum class Tier : std::uint8_t { required, preferred, stay };
    Tier tier = Tier::required;
    double weight = 0;

    static Strength required() { return {Tier::required, 0}; }
    static Strength preferred(double weight) { return {Tier::preferred, weight}; }
    static Strength stay(double weight = 1) { return {Tier::stay, weight}; }
    bool isRequired() const { return tier == Tier::required; }
    bool operator==(const Strength&) const = default;
};

}  // namespace ui::layout
