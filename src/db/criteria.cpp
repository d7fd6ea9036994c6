#include "db/criteria.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "db/errors.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db {
namespace {

class Parser {
  public:
    Parser(const std::string& text, const std::vector<std::string>& columns,
           const std::string& table)
        : text_(text), columns_(columns), table_(table) {}

    std::unique_ptr<CriteriaNode> parse() {
        auto node = parseOr();
        skipBlanks();
        if (pos_ != text_.size()) {
            fail("testo inatteso \"" + text_.substr(pos_) + "\"");
        }
        return node;
    }

    std::vector<int> used;
    int nextParam = 0;

  private:
    [[noreturn]] void fail(const std::string& why) const {
        throw ErroreArchivio(routines::InUtf8("Criterio di ricerca non valido su " + table_ + " (" +
                                              why + "): " + text_));
    }

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            ++pos_;
        }
    }

    // Matches a keyword followed by something that cannot continue a name.
    bool keyword(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size() ||
            !routines::StessoNome(std::string_view(text_).substr(pos_, word.size()), word)) {
            return false;
        }
        const std::size_t end = pos_ + word.size();
        if (end < text_.size() &&
            (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
            return false;
        }
        pos_ = end;
        return true;
    }

    bool symbol(std::string_view s) {
        skipBlanks();
        if (text_.compare(pos_, s.size(), s) == 0) {
            pos_ += s.size();
            return true;
        }
        return false;
    }

    std::unique_ptr<CriteriaNode> parseOr() {
        auto first = parseAnd();
        if (!keyword("or")) {
            return first;
        }
        auto node = std::make_unique<CriteriaNode>();
        node->kind = CriteriaNode::Kind::Or;
        node->children.push_back(std::move(first));
        do {
            node->children.push_back(parseAnd());
        } while (keyword("or"));
        return node;
    }

    std::unique_ptr<CriteriaNode> parseAnd() {
        auto first = parseFactor();
        if (!keyword("and")) {
            return first;
        }
        auto node = std::make_unique<CriteriaNode>();
        node->kind = CriteriaNode::Kind::And;
        node->children.push_back(std::move(first));
        do {
            node->children.push_back(parseFactor());
        } while (keyword("and"));
        return node;
    }

    std::unique_ptr<CriteriaNode> parseFactor() {
        if (keyword("not")) {
            auto node = std::make_unique<CriteriaNode>();
            node->kind = CriteriaNode::Kind::Not;
            node->children.push_back(parseFactor());
            return node;
        }
        if (symbol("(")) {
            auto inner = parseOr();
            if (!symbol(")")) {
                fail("manca la parentesi chiusa");
            }
            return inner;
        }
        auto node = std::make_unique<CriteriaNode>();
        node->column = parseField();
        if (keyword("in")) {
            node->kind = CriteriaNode::Kind::In;
            if (!symbol("(")) {
                fail("manca la parentesi dopo In");
            }
            do {
                node->values.push_back(parseOperand());
            } while (symbol(","));
            if (!symbol(")")) {
                fail("manca la parentesi chiusa dopo In");
            }
            return node;
        }
        if (keyword("is")) {
            node->kind = CriteriaNode::Kind::IsNull;
            node->negated = keyword("not");
            if (!keyword("null")) {
                fail("atteso Null dopo Is");
            }
            return node;
        }
        node->kind = CriteriaNode::Kind::Compare;
        node->op = parseOp();
        node->values.push_back(parseOperand());
        return node;
    }

    int parseField() {
        skipBlanks();
        std::string name;
        if (symbol("[")) {
            const auto close = text_.find(']', pos_);
            if (close == std::string::npos) {
                fail("manca la parentesi quadra chiusa");
            }
            name = text_.substr(pos_, close - pos_);
            pos_ = close + 1;
        } else {
            while (pos_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) {
                name += text_[pos_++];
            }
        }
        if (name.empty()) {
            fail("atteso il nome di un campo");
        }
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (routines::StessoNome(columns_[i], name)) {
                const int column = static_cast<int>(i);
                if (std::find(used.begin(), used.end(), column) == used.end()) {
                    used.push_back(column);
                }
                return column;
            }
        }
        throw ErroreArchivio("Campo \"" + routines::InUtf8(name) + "\" non trovato nella tabella " +
                             table_);
    }

    CompareOp parseOp() {
        if (symbol("<>"))
            return CompareOp::Ne;
        if (symbol("<="))
            return CompareOp::Le;
        if (symbol(">="))
            return CompareOp::Ge;
        if (symbol("="))
            return CompareOp::Eq;
        if (symbol("<"))
            return CompareOp::Lt;
        if (symbol(">"))
            return CompareOp::Gt;
        fail("atteso un operatore di confronto");
    }

    Operand parseOperand() {
        skipBlanks();
        if (symbol("?")) {
            return Operand{Value(), nextParam++};
        }
        if (symbol("'")) {
            std::string value;
            while (true) {
                if (pos_ >= text_.size()) {
                    fail("testo tra apici non chiuso");
                }
                const char c = text_[pos_++];
                if (c == '\'') {
                    if (pos_ < text_.size() && text_[pos_] == '\'') {
                        value += '\'';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                value += c;
            }
            return Operand{Value::text(std::move(value))};
        }
        // A decimal number, read without regard to the locale (whose decimal separator may
        // be the comma); an integer beyond 64 bits is kept as a real number.
        const char* begin = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        if (begin < last && *begin == '+') {
            ++begin;
        }
        if (begin < last &&
            (std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '-' || *begin == '.')) {
            long long integer = 0;
            const auto whole = std::from_chars(begin, last, integer);
            if (whole.ec == std::errc() && whole.ptr != last &&
                (*whole.ptr == '.' || *whole.ptr == 'e' || *whole.ptr == 'E')) {
                // a real number: read below
            } else if (whole.ec == std::errc()) {
                pos_ = static_cast<std::size_t>(whole.ptr - text_.data());
                return Operand{Value::integer(integer)};
            }
            double real = 0;
            const auto number = std::from_chars(begin, last, real, std::chars_format::general);
            if (number.ec == std::errc() && std::isfinite(real)) {
                pos_ = static_cast<std::size_t>(number.ptr - text_.data());
                return Operand{Value::real(real)};
            }
        }
        fail("atteso un valore");
    }

    const std::string& text_;
    const std::vector<std::string>& columns_;
    const std::string& table_;
    std::size_t pos_ = 0;
};

}  // namespace

Criteria::Criteria(std::string text, std::vector<Value> params)
    : text_(std::move(text)), params_(std::move(params)) {}

CompiledCriteria::CompiledCriteria(const std::string& text, const std::vector<std::string>& columns,
                                   const std::string& tableName) {
    Parser parser(text, columns, tableName);
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        root_ = std::make_unique<CriteriaNode>();  // no criteria: every row
        root_->kind = CriteriaNode::Kind::And;
        return;
    }
    root_ = parser.parse();
    columnsUsed_ = std::move(parser.used);
    paramCount_ = static_cast<std::size_t>(parser.nextParam);
    const auto equalityOf = [](const CriteriaNode& n) -> std::optional<Equality> {
        if (n.kind != CriteriaNode::Kind::Compare || n.op != CompareOp::Eq) {
            return std::nullopt;
        }
        const Operand& operand = n.values.front();
        return Equality{n.column, operand.param, operand.constant};
    };
    if (root_->kind == CriteriaNode::Kind::And) {
        for (const auto& child : root_->children) {
            if ((equality_ = equalityOf(*child))) {
                break;
            }
        }
    } else {
        equality_ = equalityOf(*root_);
    }
}

CompiledCriteria::~CompiledCriteria() = default;
CompiledCriteria::CompiledCriteria(CompiledCriteria&&) noexcept = default;
CompiledCriteria& CompiledCriteria::operator=(CompiledCriteria&&) noexcept = default;

Truth CompareTruth(CompareOp op, const Value& field, const Value& constant) {
    const auto c = CompareValues(field, constant);
    if (!c) {
        return Truth::Unknown;
    }
    bool holds = false;
    switch (op) {
        case CompareOp::Eq:
            holds = *c == 0;
            break;
        case CompareOp::Ne:
            holds = *c != 0;
            break;
        case CompareOp::Lt:
            holds = *c < 0;
            break;
        case CompareOp::Le:
            holds = *c <= 0;
            break;
        case CompareOp::Gt:
            holds = *c > 0;
            break;
        case CompareOp::Ge:
            holds = *c >= 0;
            break;
    }
    return holds ? Truth::True : Truth::False;
}

bool CompareHolds(CompareOp op, const Value& field, const Value& constant) {
    return CompareTruth(op, field, constant) == Truth::True;
}

const char* operatorText(CompareOp op) {
    switch (op) {
        case CompareOp::Eq:
            return "=";
        case CompareOp::Ne:
            return "<>";
        case CompareOp::Lt:
            return "<";
        case CompareOp::Le:
            return "<=";
        case CompareOp::Gt:
            return ">";
        case CompareOp::Ge:
            return ">=";
    }
    return "=";
}

}  // namespace tableau::db
