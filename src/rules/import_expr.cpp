// tf and tt++ expressions as Lua.
#include "rules/import_expr.h"

#include "core/text_codec.h"
#include "rules/import_lua.h"

#include <cctype>

namespace corvane::import_expr {

namespace {

// What a piece of the expression gives: a truth, a number, quoted text, or
// a value read at run time (a variable or a match), which is text.
enum class Kind { Bool, Num, Str, Val };

struct Piece {
    std::string lua;
    Kind kind = Kind::Val;
    // Quoted text that tt++ would read as a pattern on the right of ==.
    bool pattern = false;
    // A literal number, or a literal string that reads as one.
    bool numeric = false;
};

bool digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool wordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

class Parser {
public:
    Parser(const std::string& text, Dialect dialect, const Names& names, std::string& why)
        : text_(text)
        , dialect_(dialect)
        , names_(names)
        , why_(why) {}

    std::optional<Piece> whole() {
        auto piece = logicalOr();
        skip();
        if (piece && at_ < text_.size()) {
            return fail("has \"" + Utf8Left(std::string_view(text_).substr(at_), 8) +
                        "\" in an expression, which the importer does not translate");
        }
        return piece;
    }

    std::optional<Piece> fail(const std::string& why) {
        if (why_.empty()) {
            why_ = why;
        }
        return std::nullopt;
    }

    std::optional<std::string> truth(const Piece& p) {
        switch (p.kind) {
        case Kind::Bool:
            return p.lua;
        case Kind::Num:
            return "(" + p.lua + " ~= 0)";
        case Kind::Val:
            return "(" + numberOf(p.lua) + " ~= 0)";
        case Kind::Str:
            break;
        }
        fail("has a condition that compares nothing, which the importer does not translate");
        return std::nullopt;
    }

    std::optional<std::string> num(const Piece& p) {
        if (p.kind == Kind::Num) {
            return p.lua;
        }
        if (p.kind == Kind::Val || (p.kind == Kind::Str && p.numeric && dialect_ == Dialect::TinyFugue)) {
            return numberOf(p.lua);
        }
        fail(p.kind == Kind::Bool ? "counts with a truth value, which the importer does not translate"
                                  : "counts with quoted text, which the importer does not translate");
        return std::nullopt;
    }

    std::optional<std::string> str(const Piece& p) {
        if (p.kind == Kind::Str) {
            return p.lua;
        }
        if (p.kind == Kind::Bool) {
            fail("compares a truth value as text, which the importer does not translate");
            return std::nullopt;
        }
        return "_s(" + p.lua + ")";
    }

private:
    // tf reads a number from the front of text ("12abc" is 12); tt++ takes
    // only text that is all number.
    std::string numberOf(const std::string& lua) const {
        return (dialect_ == Dialect::TinyFugue ? "_tn(" : "_n(") + lua + ")";
    }

    void skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) {
            ++at_;
        }
    }
    bool take(const std::string& token) {
        skip();
        if (text_.compare(at_, token.size(), token) == 0) {
            at_ += token.size();
            return true;
        }
        return false;
    }
    bool peek(const std::string& token) {
        skip();
        return text_.compare(at_, token.size(), token) == 0;
    }

    std::optional<Piece> logical(bool isOr) {
        auto left = isOr ? logical(false) : comparison();
        if (!left) {
            return std::nullopt;
        }
        for (;;) {
            const std::string two = isOr ? "||" : "&&";
            const char one = isOr ? '|' : '&';
            bool found = take(two);
            if (!found && peek(std::string(1, one))) {
                if (dialect_ == Dialect::TinTin) {
                    return fail(std::string("uses the bitwise ") + one +
                                ", which the importer does not translate");
                }
                found = take(std::string(1, one));
            }
            if (!found) {
                return left;
            }
            auto right = isOr ? logical(false) : comparison();
            if (!right) {
                return std::nullopt;
            }
            const auto a = truth(*left);
            const auto b = truth(*right);
            if (!a || !b) {
                return std::nullopt;
            }
            left = Piece{"(" + *a + (isOr ? " or " : " and ") + *b + ")", Kind::Bool};
        }
    }
    std::optional<Piece> logicalOr() { return logical(true); }

    std::optional<Piece> comparison() {
        auto left = sum();
        if (!left) {
            return std::nullopt;
        }
        skip();
        static const char* const ops[] = {"===", "!==", "==", "!=", "=~", "!~", "=/",
                                          "!/",  "<=",  ">=", "<<", ">>", "<",  ">"};
        std::string op;
        for (const char* candidate : ops) {
            if (peek(candidate)) {
                op = candidate;
                break;
            }
        }
        std::size_t length = op.size();
        if (op.empty() && dialect_ == Dialect::TinyFugue && peek("=")) {
            op = "=="; // tf's "=" compares too
            length = 1;
        }
        if (op.empty()) {
            return left;
        }
        if (op == "<<" || op == ">>" || op == "===" || op == "!==" || op == "=/" || op == "!/" ||
            (dialect_ == Dialect::TinTin && (op == "=~" || op == "!~"))) {
            return fail("compares with " + op + ", which the importer does not translate");
        }
        at_ += length;
        auto right = sum();
        if (!right) {
            return std::nullopt;
        }
        const std::string lua = op == "!=" || op == "!~" ? "~=" : op == "=~" ? "==" : op;
        const bool strings =
            op == "=~" || op == "!~" || (dialect_ == Dialect::TinTin && left->kind == Kind::Str);
        if (dialect_ == Dialect::TinTin && (left->kind == Kind::Str) != (right->kind == Kind::Str)) {
            return fail("compares quoted text with a number, which the importer does not translate");
        }
        if (dialect_ == Dialect::TinTin && strings && right->pattern && (op == "==" || op == "!=")) {
            return fail("compares with a TinTin++ pattern, which the importer does not translate");
        }
        if (strings) {
            const auto a = str(*left);
            const auto b = str(*right);
            return a && b ? std::optional<Piece>(Piece{"(" + *a + " " + lua + " " + *b + ")", Kind::Bool})
                          : std::nullopt;
        }
        const auto a = num(*left);
        const auto b = num(*right);
        return a && b ? std::optional<Piece>(Piece{"(" + *a + " " + lua + " " + *b + ")", Kind::Bool})
                      : std::nullopt;
    }

    std::optional<Piece> arithmetic(bool sums) {
        auto left = sums ? arithmetic(false) : unary();
        if (!left) {
            return std::nullopt;
        }
        for (;;) {
            skip();
            if (at_ >= text_.size()) {
                return left;
            }
            const char c = text_[at_];
            const bool ours = sums ? (c == '+' || c == '-') : (c == '*' || c == '/' || c == '%');
            if (!ours) {
                return left;
            }
            const char next = at_ + 1 < text_.size() ? text_[at_ + 1] : '\0';
            if ((c == '*' && next == '*') || (c == '/' && next == '/') ||
                (c == '%' && dialect_ == Dialect::TinyFugue) || (c == '/' && next == '=')) {
                return fail(std::string("uses the operator ") + c + (next == c ? std::string(1, next) : "") +
                            ", which the importer does not translate");
            }
            ++at_;
            auto right = sums ? arithmetic(false) : unary();
            if (!right) {
                return std::nullopt;
            }
            const auto a = num(*left);
            const auto b = num(*right);
            if (!a || !b) {
                return std::nullopt;
            }
            const std::string lua = c == '/'   ? "_d(" + *a + ", " + *b + ")"
                                    : c == '%' ? "_m(" + *a + ", " + *b + ")"
                                               : "(" + *a + " " + c + " " + *b + ")";
            left = Piece{lua, Kind::Num};
        }
    }
    std::optional<Piece> sum() { return arithmetic(true); }

    std::optional<Piece> unary() {
        if (take("!")) {
            auto operand = unary();
            if (!operand) {
                return std::nullopt;
            }
            const auto t = truth(*operand);
            return t ? std::optional<Piece>(Piece{"(not " + *t + ")", Kind::Bool}) : std::nullopt;
        }
        if (take("-")) {
            auto operand = unary();
            if (!operand) {
                return std::nullopt;
            }
            const auto n = num(*operand);
            return n ? std::optional<Piece>(Piece{"(-" + *n + ")", Kind::Num}) : std::nullopt;
        }
        return atom();
    }

    std::optional<Piece> atom() {
        skip();
        if (at_ >= text_.size()) {
            return fail("has an expression that ends too soon");
        }
        const char c = text_[at_];
        if (c == '(') {
            ++at_;
            auto inner = logicalOr();
            if (!inner) {
                return std::nullopt;
            }
            if (!take(")")) {
                return fail("has a condition with unbalanced parentheses");
            }
            inner->lua = "(" + inner->lua + ")";
            return inner;
        }
        if (c == import_lua::kOpen) {
            const std::size_t close = text_.find(import_lua::kClose, at_);
            Piece p{text_.substr(at_ + 1, close - at_ - 1), Kind::Val};
            at_ = close + 1;
            return p;
        }
        if (digit(c) || (c == '.' && at_ + 1 < text_.size() && digit(text_[at_ + 1]))) {
            std::size_t end = at_;
            while (end < text_.size() && (digit(text_[end]) || text_[end] == '.')) {
                ++end;
            }
            if (end < text_.size() &&
                (std::isalpha(static_cast<unsigned char>(text_[end])) != 0 || text_[end] == ':')) {
                return fail("has the number \"" + text_.substr(at_, end - at_ + 1) +
                            "...\" with a unit or time, which the importer does not translate");
            }
            Piece p{text_.substr(at_, end - at_), Kind::Num};
            p.numeric = true;
            at_ = end;
            return p;
        }
        if (c == '"' || (dialect_ == Dialect::TinyFugue && (c == '\'' || c == '`'))) {
            return quoted(c);
        }
        if (c == '{') {
            if (dialect_ == Dialect::TinTin) {
                return fail("compares {braced} text, which the importer does not translate");
            }
            const std::size_t close = text_.find('}', at_);
            if (close == std::string::npos) {
                return fail("has a condition with an unclosed {");
            }
            const std::string name = text_.substr(at_ + 1, close - at_ - 1);
            at_ = close + 1;
            return named(name, "{" + name + "}");
        }
        if (wordChar(c)) {
            std::size_t end = at_;
            while (end < text_.size() && wordChar(text_[end])) {
                ++end;
            }
            const std::string word = text_.substr(at_, end - at_);
            at_ = end;
            if (dialect_ == Dialect::TinTin) {
                return fail("reads the bare word " + word +
                            ", which TinTin++ counts as 0; the importer does not guess");
            }
            if (peek("(")) {
                return call(word);
            }
            return named(word, word);
        }
        // The whole character, not its first byte: the report is UTF-8.
        std::size_t next = at_;
        std::string shown;
        AppendUtf8(shown, NextCodePoint(text_, next));
        return fail("has a condition using \"" + shown + "\", which the importer does not translate");
    }

    // tf's functions that mean the same in Lua: strlen(text), in bytes as tf 5 counts.
    std::optional<Piece> call(const std::string& function) {
        if (function != "strlen") {
            return fail("calls the function " + function + "(), which the importer does not translate");
        }
        take("(");
        auto argument = logicalOr();
        if (!argument) {
            return std::nullopt;
        }
        if (!take(")")) {
            return fail("calls " + function + "() with more than one value, which the importer does not translate");
        }
        const auto text = str(*argument);
        return text ? std::optional<Piece>(Piece{"#(" + *text + ")", Kind::Num}) : std::nullopt;
    }

    std::optional<Piece> named(const std::string& name, const std::string& shown) {
        const auto lua = names_(name);
        if (!lua) {
            return fail("has a condition naming " + shown + ", which the importer cannot");
        }
        return Piece{*lua, Kind::Val};
    }

    // Quoted text, its substituted values joined in.
    std::optional<Piece> quoted(char quote) {
        std::string literal;
        std::size_t j = at_ + 1;
        for (; j < text_.size() && text_[j] != quote; ++j) {
            if (text_[j] == import_lua::kOpen) {
                // A value's Lua may hold quotes of its own.
                const std::size_t close = text_.find(import_lua::kClose, j);
                literal += text_.substr(j, close - j + 1);
                j = close;
                continue;
            }
            if (text_[j] == '\\' && j + 1 < text_.size() && dialect_ == Dialect::TinyFugue) {
                ++j;
            }
            literal += text_[j];
        }
        if (j >= text_.size()) {
            return fail("has a condition with an unclosed string");
        }
        at_ = j + 1;
        Piece p{import_lua::concat(literal), Kind::Str};
        std::string plain;
        for (std::size_t i = 0; i < literal.size(); ++i) {
            if (literal[i] == import_lua::kOpen) {
                i = literal.find(import_lua::kClose, i);
                continue;
            }
            plain += literal[i];
        }
        p.pattern = plain.find_first_of("%^{\\$*") != std::string::npos;
        p.numeric =
            !plain.empty() && plain == literal && plain.find_first_not_of("0123456789.") == std::string::npos;
        return p;
    }

    const std::string& text_;
    Dialect dialect_;
    const Names& names_;
    std::string& why_;
    std::size_t at_ = 0;
};

// tt++ (2.02) gives up on an expression with text that is not a number in
// it: the condition is false, the sum 0.
std::string guarded(const std::string& lua, Dialect dialect, const char* otherwise) {
    if (dialect != Dialect::TinTin || lua.find("_n(") == std::string::npos) {
        return lua;
    }
    return "_ok(function() return " + lua + " end, " + otherwise + ")";
}

// Reads the whole text as one expression; `lua` makes what it is wanted as.
template <typename MakeLua>
std::optional<std::string> translated(const std::string& text, Dialect dialect, const Names& names,
                                      std::string& why, const char* otherwise, MakeLua&& lua) {
    why.clear();
    Parser parser(text, dialect, names, why);
    const auto piece = parser.whole();
    if (!piece) {
        return std::nullopt;
    }
    const std::optional<std::string> made = lua(parser, *piece);
    return made ? std::optional<std::string>(guarded(*made, dialect, otherwise)) : std::nullopt;
}

std::string oneOrZero(const Piece& truth) {
    return "(" + truth.lua + " and 1 or 0)";
}

} // namespace

std::optional<std::string> condition(const std::string& text, Dialect dialect, const Names& names,
                                     std::string& why) {
    return translated(text, dialect, names, why, "false",
                      [](Parser& parser, const Piece& piece) { return parser.truth(piece); });
}

std::optional<std::string> number(const std::string& text, Dialect dialect, const Names& names,
                                  std::string& why) {
    return translated(text, dialect, names, why, "0", [](Parser& parser, const Piece& piece) {
        return piece.kind == Kind::Bool ? std::optional<std::string>(oneOrZero(piece)) : parser.num(piece);
    });
}

std::optional<std::string> value(const std::string& text, Dialect dialect, const Names& names,
                                 std::string& why) {
    return translated(text, dialect, names, why, "0", [](Parser&, const Piece& piece) {
        return std::optional<std::string>(piece.kind == Kind::Bool ? oneOrZero(piece) : piece.lua);
    });
}

std::string helpersFor(const std::string& lua) {
    std::string out;
    if (lua.find("_n(") != std::string::npos) {
        out += "local function _n(v) if type(v) == \"number\" then return v end v = tostring(v or \"\") "
               "if v:match(\"^[-+]?%d+%.?%d*$\") or v:match(\"^[-+]?%.%d+$\") then return tonumber(v) end "
               "error(\"not a number\", 0) end\n"
               "local function _ok(f, otherwise) local ok, r = pcall(f) if ok then return r end "
               "if r == \"not a number\" then return otherwise end error(r, 0) end\n";
    }
    if (lua.find("_tn(") != std::string::npos) {
        // tf: the number at the front of the text ("12abc" is 12, "xyz" 0).
        out += "local function _tn(v) if type(v) == \"number\" then return v end v = tostring(v or \"\") "
               "local n = v:match(\"^%s*([-+]?%d+%.%d+)\") or v:match(\"^%s*([-+]?%d+)\") "
               "or v:match(\"^%s*([-+]?%.%d+)\") return n and tonumber(n) or 0 end\n";
    }
    // A line's words as tf counts them: %1, %-1, %L, %-L.
    if (lua.find("_w(") != std::string::npos) {
        out += "local function _w(s, n) local i = 0 for w in tostring(s or \"\"):gmatch(\"%S+\") do "
               "i = i + 1 if i == n then return w end end return \"\" end\n";
    }
    if (lua.find("_wr(") != std::string::npos) {
        out += "local function _wr(s, n) s = tostring(s or \"\") local p = 1 for _ = 1, n do "
               "local _, b = s:find(\"%S+\", p) if not b then return \"\" end p = b + 1 end "
               "return s:sub(p):match(\"^%s*(.-)%s*$\") end\n";
    }
    if (lua.find("_wl(") != std::string::npos) {
        out += "local function _wl(s) return tostring(s or \"\"):match(\"(%S+)%s*$\") or \"\" end\n";
    }
    if (lua.find("_wb(") != std::string::npos) {
        out += "local function _wb(s) return tostring(s or \"\"):match(\"^%s*(.-)%s*%S+%s*$\") or \"\" end\n";
    }
    if (lua.find("_s(") != std::string::npos) {
        out += "local function _s(v) return tostring(v or \"\") end\n";
    }
    if (lua.find("_d(") != std::string::npos) {
        // Whole numbers divide into a whole number, towards zero; by zero, 0.
        out += "local function _d(a, b) if b == 0 then return 0 end "
               "if math.type(a) == \"integer\" and math.type(b) == \"integer\" then "
               "local q = a // b if q < 0 and q * b ~= a then q = q + 1 end return q end "
               "return a / b end\n";
    }
    if (lua.find("_m(") != std::string::npos) {
        out += "local function _m(a, b) if b == 0 then return a end return math.fmod(a, b) end\n";
    }
    return out;
}

} // namespace corvane::import_expr
