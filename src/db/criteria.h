#pragma once
// Criteria texts: the body of a WHERE clause, as the suite writes them
// ("NumeroHotel = 1 and NumeroCamera = '101'"). Values may be given as "?" placeholders
// bound in order, so that no value is ever spliced into the text; a quoted text doubles
// its apostrophes ('D''Amico').
//
// Grammar (keywords and field names without regard to letter case):
//   expr := term { "or" term } ; term := factor { "and" factor } ;
//   factor := "not" factor | "(" expr ")" | field op operand | field "in" "(" operands ")"
//           | field "is" ["not"] "null"
//   op := "=" | "<>" | "<" | "<=" | ">" | ">=" ; field := name | "[" name "]"
//   operand := number | 'text' | ?
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/value.h"

namespace tableau::db {

class Criteria {
  public:
    Criteria(std::string text, std::vector<Value> params = {});
    const std::string& text() const { return text_; }
    const std::vector<Value>& params() const { return params_; }

  private:
    std::string text_;
    std::vector<Value> params_;
};

struct CriteriaNode;

// A criteria text bound to the columns of one table; throws ErroreArchivio when the text
// is malformed or names a field the table does not have.
class CompiledCriteria {
  public:
    // Only the text and the number of placeholders count: the values are given to matches().
    CompiledCriteria(const std::string& text, const std::vector<std::string>& columns,
                     const std::string& tableName);
    ~CompiledCriteria();
    CompiledCriteria(CompiledCriteria&&) noexcept;
    CompiledCriteria& operator=(CompiledCriteria&&) noexcept;

    // get(column) returns the row's value of a column; params are the values bound to
    // the placeholders, in order (the same count as when compiled).
    template <typename Get>
    bool matches(const Get& get, const std::vector<Value>& params) const;

    // A conjunct "column = operand" that every matching row satisfies; lets a caller look
    // rows up by an index instead of testing all of them.
    struct Equality {
        int column;
        int param;    // placeholder index, or -1 for the constant
        Value value;  // the constant
        const Value& resolve(const std::vector<Value>& params) const {
            return param >= 0 ? params[static_cast<std::size_t>(param)] : value;
        }
    };
    const std::optional<Equality>& equality() const { return equality_; }

    // Columns the criteria reads, each once.
    const std::vector<int>& columnsUsed() const { return columnsUsed_; }

    const CriteriaNode& root() const { return *root_; }

  private:
    std::unique_ptr<CriteriaNode> root_;
    std::optional<Equality> equality_;
    std::vector<int> columnsUsed_;
    std::size_t paramCount_ = 0;

  public:
    std::size_t paramCount() const { return paramCount_; }
};

enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };

// A constant of the criteria text, or the placeholder it stands for.
struct Operand {
    Value constant;
    int param = -1;
    const Value& resolve(const std::vector<Value>& params) const {
        return param >= 0 ? params[static_cast<std::size_t>(param)] : constant;
    }
};

struct CriteriaNode {
    enum class Kind { And, Or, Not, Compare, In, IsNull } kind = Kind::Compare;
    std::vector<std::unique_ptr<CriteriaNode>> children;  // And, Or, Not
    int column = -1;                                      // Compare, In, IsNull
    CompareOp op = CompareOp::Eq;                         // Compare
    std::vector<Operand> values;                          // Compare (one), In (several)
    bool negated = false;                                 // IsNull: "is not null"
};

bool CompareHolds(CompareOp op, const Value& field, const Value& constant);

// "=", "<>", "<", "<=", ">" or ">=", as the criteria text writes the operator.
const char* operatorText(CompareOp op);

// Criteria are decided as SQL decides them: a comparison with a null is neither true nor
// false but unknown, and stays unknown under "not", so a row whose field is null is never
// selected by a comparison on that field, negated or not.
enum class Truth { False, True, Unknown };

Truth CompareTruth(CompareOp op, const Value& field, const Value& constant);

template <typename Get>
Truth EvaluateTruth(const CriteriaNode& node, const Get& get, const std::vector<Value>& params) {
    switch (node.kind) {
        case CriteriaNode::Kind::And: {
            Truth result = Truth::True;
            for (const auto& child : node.children) {
                const Truth t = EvaluateTruth(*child, get, params);
                if (t == Truth::False) {
                    return Truth::False;
                }
                if (t == Truth::Unknown) {
                    result = Truth::Unknown;
                }
            }
            return result;
        }
        case CriteriaNode::Kind::Or: {
            Truth result = Truth::False;
            for (const auto& child : node.children) {
                const Truth t = EvaluateTruth(*child, get, params);
                if (t == Truth::True) {
                    return Truth::True;
                }
                if (t == Truth::Unknown) {
                    result = Truth::Unknown;
                }
            }
            return result;
        }
        case CriteriaNode::Kind::Not:
            switch (EvaluateTruth(*node.children.front(), get, params)) {
                case Truth::True:
                    return Truth::False;
                case Truth::False:
                    return Truth::True;
                case Truth::Unknown:
                    return Truth::Unknown;
            }
            return Truth::Unknown;
        case CriteriaNode::Kind::Compare:
            return CompareTruth(node.op, get(node.column), node.values.front().resolve(params));
        case CriteriaNode::Kind::In: {
            const Value field = get(node.column);
            Truth result = Truth::False;
            for (const auto& v : node.values) {
                const Truth t = CompareTruth(CompareOp::Eq, field, v.resolve(params));
                if (t == Truth::True) {
                    return Truth::True;
                }
                if (t == Truth::Unknown) {
                    result = Truth::Unknown;
                }
            }
            return result;
        }
        case CriteriaNode::Kind::IsNull:
            return get(node.column).isNull() != node.negated ? Truth::True : Truth::False;
    }
    return Truth::Unknown;
}

// True when the row is selected.
template <typename Get>
bool EvaluateNode(const CriteriaNode& node, const Get& get, const std::vector<Value>& params) {
    return EvaluateTruth(node, get, params) == Truth::True;
}

template <typename Get>
bool CompiledCriteria::matches(const Get& get, const std::vector<Value>& params) const {
    return EvaluateNode(*root_, get, params);
}

}  // namespace tableau::db
