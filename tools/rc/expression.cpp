#include "expression.h"

#include <string>

#include "token_stream.h"

namespace rc {

namespace {

struct BinaryOperator {
    const char* text;
    int precedence;  // higher binds tighter
    bool conditionOnly;
};

const BinaryOperator kBinary[] = {
    {"||", 1, true}, {"&&", 2, true}, {"|", 3, false}, {"^", 4, false}, {"&", 5, false},
    {"==", 6, true}, {"!=", 6, true}, {"<", 7, true},  {">", 7, true},  {"<=", 7, true},
    {">=", 7, true}, {"<<", 8, false}, {">>", 8, false}, {"+", 9, false}, {"-", 9, false},
    {"*", 10, false}, {"/", 10, false}, {"%", 10, false},
};

class Evaluator {
public:
    Evaluator(TokenStream& in, ExpressionMode mode) : in_(in), mode_(mode) {}

    int64_t conditional() {
        int64_t value = binary(1);
        if (mode_ == ExpressionMode::Condition && in_.acceptPunct("?")) {
            int64_t whenTrue = conditional();
            in_.expectPunct(":", "':' of a conditional expression");
            int64_t whenFalse = conditional();
            return value ? whenTrue : whenFalse;
        }
        return value;
    }

    bool sawLong = false;

private:
    const BinaryOperator* binaryAt() const {
        const Token& t = in_.peek();
        if (t.kind != TokenKind::Punct) return nullptr;
        if (mode_ == ExpressionMode::StyleTerm && t.text == "|") return nullptr;
        for (const auto& op : kBinary)
            if (t.text == op.text && (!op.conditionOnly || mode_ == ExpressionMode::Condition)) return &op;
        return nullptr;
    }

    int64_t binary(int minPrecedence) {
        int64_t left = unary();
        for (;;) {
            const BinaryOperator* op = binaryAt();
            if (!op || op->precedence < minPrecedence) return left;
            Token opToken = in_.next();
            int64_t right = binary(op->precedence + 1);
            left = apply(opToken, left, right);
        }
    }

    int64_t apply(const Token& op, int64_t a, int64_t b) {
        const std::string& o = op.text;
        if ((o == "/" || o == "%") && b == 0) in_.failAt(op, "division by zero");
        if (o == "||") return a || b;
        if (o == "&&") return a && b;
        if (o == "|") return a | b;
        if (o == "^") return a ^ b;
        if (o == "&") return a & b;
        if (o == "==") return a == b;
        if (o == "!=") return a != b;
        if (o == "<") return a < b;
        if (o == ">") return a > b;
        if (o == "<=") return a <= b;
        if (o == ">=") return a >= b;
        if (o == "<<") return b >= 0 && b < 63 ? a << b : 0;
        if (o == ">>") return b >= 0 && b < 63 ? a >> b : 0;
        if (o == "+") return a + b;
        if (o == "-") return a - b;
        if (o == "*") return a * b;
        if (o == "/") return a / b;
        return a % b;
    }

    int64_t unary() {
        const Token& t = in_.peek();
        if (t.isPunct("-") || t.isPunct("+") || t.isPunct("~") || (t.isPunct("!") && mode_ == ExpressionMode::Condition)) {
            std::string op = in_.next().text;
            int64_t operand = unary();
            if (op == "-") return -operand;
            if (op == "~") return ~operand & 0xFFFFFFFFll;
            if (op == "!") return !operand;
            return operand;
        }
        if (t.isPunct("(")) {
            in_.next();
            int64_t value = conditional();
            in_.expectPunct(")", "')'");
            return value;
        }
        if (t.kind == TokenKind::Number) {
            sawLong = sawLong || t.isLong;
            return in_.next().value;
        }
        if (t.kind == TokenKind::Identifier) {
            // In a condition a name that is no macro counts as 0, as in C.
            if (mode_ == ExpressionMode::Condition) {
                in_.next();
                return 0;
            }
            in_.failAt(t, "undefined symbol '" + t.text + "'");
        }
        in_.failAt(t, "expected a number, found " + describe(t));
    }

    TokenStream& in_;
    ExpressionMode mode_;
};

}  // namespace

int64_t evaluateExpression(TokenStream& in, ExpressionMode mode, bool* sawLong) {
    Evaluator evaluator(in, mode);
    int64_t value = evaluator.conditional();
    if (sawLong) *sawLong = evaluator.sawLong;
    return value;
}

}  // namespace rc
