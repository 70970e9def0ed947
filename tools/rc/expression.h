// Integer expressions, as in C. Scripts use them for every number; #if and #elif
// use them with the comparison and logical operators as well.
#pragma once

#include <cstdint>

namespace rc {

class TokenStream;

enum class ExpressionMode {
    Resource,   // | & ^ + - * / % << >> unary - ~ ( )
    Condition,  // all of those and ! == != < > <= >= && || ?:
    StyleTerm,  // Resource without |: one term of a style list (a | b | NOT c)
};

// Evaluates the expression at the stream's position and leaves the stream on
// the first token after it. Throws ScriptError on a malformed expression, an
// unknown name (Resource mode) or a division by zero.
int64_t evaluateExpression(TokenStream& in, ExpressionMode mode, bool* sawLong = nullptr);

}  // namespace rc
