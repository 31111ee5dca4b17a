// The rule language's reader: text -> BlockPackage.
//
// A line that starts in column 1 begins a rule or a directive; indented lines
// continue it.  Tokens are bare words, quoted strings, hex"..." literals and the
// punctuation ( ) [ ] { } = == != < > <= >= =< =>.  '#' outside a string starts a
// comment that runs to the end of the line.
#include <memory>
#include <set>

#include "vpdc_json_util.h"
#include "vpdc_rules.h"
#include "vpdc_rules_syntax.h"

namespace vpdc {

using namespace rules;

namespace {

enum class TokType { Word, Quoted, Hex, Punct };

struct Tok {
    TokType type;
    std::string text;  // word, string contents (unescaped), punctuation; hex: the bytes
    size_t line;
    bool lineStart;    // first token of a line that starts in column 1
};

class Reader {
public:
    Reader(const std::string& text, const std::string& file) : file_(file) { Lex(text); }

    BlockPackage Read(std::vector<std::string>* warnings);

private:
    // ---- Lexer ----
    void Lex(const std::string& s);

    // ---- Token access ----
    [[noreturn]] void Fail(size_t line, const std::string& what) const {
        throw Error(file_ + ":" + std::to_string(line) + ": " + what);
    }
    [[noreturn]] void FailHere(const std::string& what) const {
        if (pos_ < toks_.size()) Fail(toks_[pos_].line, what + ", found " + Show(toks_[pos_]));
        Fail(lastLine_, what + ", found the end of the file");
    }
    static std::string Show(const Tok& t) {
        switch (t.type) {
        case TokType::Quoted: return "\"" + t.text + "\"";
        case TokType::Hex: return "a hex literal";
        default: return "'" + t.text + "'";
        }
    }
    // The next token of the current rule or directive (not one that starts a new line), or null.
    const Tok* Next() const {
        return pos_ < toks_.size() && !toks_[pos_].lineStart ? &toks_[pos_] : nullptr;
    }
    bool NextIsWord(const char* w) const {
        const Tok* t = Next();
        return t && t->type == TokType::Word && t->text == w;
    }
    bool NextIsPunct(const char* p) const {
        const Tok* t = Next();
        return t && t->type == TokType::Punct && t->text == p;
    }
    void ExpectPunct(const char* p) {
        if (!NextIsPunct(p)) FailHere(std::string("expected '") + p + "'");
        ++pos_;
    }
    size_t Line() const { return pos_ < toks_.size() ? toks_[pos_].line : lastLine_; }

    uint32_t Number(const char* what);
    bool NextIsNumber() const;
    Text32 Name(const char* what);
    void Ascii(uint8_t* out, size_t n, const char* what);

    // ---- Grammar ----
    void Directive(BlockPackage& pkg, const std::string& word);
    Rule ParseRule(const std::string& word);
    void Clauses(Rule& r);
    Condition ParseCondition();
    uint32_t ParseOperator();
    struct Node {
        std::unique_ptr<Node> left, right;
        uint32_t op = 0;  // kTokenAnd, kTokenOr, or 0 for a condition
        Condition cond;
    };
    std::unique_ptr<Node> Expr(size_t depth);
    std::unique_ptr<Node> Term(size_t depth);
    std::unique_ptr<Node> Factor(size_t depth);
    void Lower(const Node& n, Rule& r, size_t& depth, size_t& deepest);
    void Tokens(Rule& r);

    std::string file_;
    std::vector<Tok> toks_;
    size_t pos_ = 0;
    size_t lastLine_ = 1;
    std::vector<std::string> warnings_;
    std::vector<size_t> ruleLines_;

    void Warn(size_t line, const std::string& what) {
        warnings_.push_back(file_ + ":" + std::to_string(line) + ": " + what);
    }
    void CheckRule(const Rule& r, size_t line);
};

// Findings the engine would pass over silently: a rule that can never hold, an
// option it does not set, actions its kind does not run.
void Reader::CheckRule(const Rule& r, size_t line) {
    const bool sets = r.kind == vpd::kRuleChange || r.kind == vpd::kRulePerPageChange;
    const bool forbids = r.kind == vpd::kRuleProhibit;
    bool gate = false;
    for (const Action& a : r.actions) gate = gate || a.code == vpd::kActGate;
    if (r.tokens.empty() && (sets || forbids || (r.kind == vpd::kRuleControl && gate)))
        Warn(line, "a rule without 'when' never holds");
    if ((sets || forbids) && r.second.option == Text32{})
        Warn(line, std::string("the rule ") + (sets ? "sets" : "forbids") + " no option ('= <option>')");
    for (const Action& a : r.actions) {
        if (a.code == vpd::kActConstraintMessage && !forbids)
            Warn(line, "'refuse' is shown for prohibitions (forbid) only");
        if (a.code == vpd::kActChangeMessage && !sets)
            Warn(line, "'message' is listed for change rules (change, perpage) only");
    }
}

void Reader::Lex(const std::string& s) {
    size_t line = 1, i = s.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a UTF-8 byte-order mark
    bool lineBegins = true;  // nothing but the line's first column seen yet
    bool indented = false;
    while (i < s.size()) {
        char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
            lineBegins = true;
            indented = false;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            if (lineBegins) indented = true;
            ++i;
            continue;
        }
        if (c == '#') {
            while (i < s.size() && s[i] != '\n') ++i;
            continue;
        }
        Tok t{TokType::Word, "", line, lineBegins && !indented};
        lineBegins = false;
        if (c == '"' || (s.compare(i, 4, "hex\"") == 0)) {
            bool hex = c != '"';
            i += hex ? 4 : 1;
            std::string body;
            for (;;) {
                if (i >= s.size() || s[i] == '\n') Fail(line, "a string that does not end on its line");
                if (s[i] == '"') break;
                if (s[i] == '\\' && !hex) {
                    if (i + 1 >= s.size() || (s[i + 1] != '"' && s[i + 1] != '\\'))
                        Fail(line, "only \\\" and \\\\ are escapes in a string");
                    ++i;
                }
                body.push_back(s[i++]);
            }
            ++i;
            if (hex) {
                Bytes b;
                try {
                    b = json::FromHex(Json(body), json::Place{});
                } catch (const Error& e) {
                    Fail(line, std::string("hex literal: ") + e.what());
                }
                t.type = TokType::Hex;
                t.text.assign(b.begin(), b.end());
            } else {
                t.type = TokType::Quoted;
                t.text = body;
            }
        } else if (Delimiter(c)) {
            static const char* const kPunct[] = {"==", "!=", "<=", ">=", "=<", "=>", "(", ")", "[", "]",
                                                 "{",  "}",  "=",  "<",  ">"};
            const char* found = nullptr;
            for (const char* p : kPunct)
                if (s.compare(i, std::char_traits<char>::length(p), p) == 0) {
                    found = p;
                    break;
                }
            if (!found) {
                std::string shown = static_cast<unsigned char>(c) < 0x20 || c == 0x7f
                                        ? "character " + std::to_string(static_cast<unsigned char>(c))
                                        : "'" + std::string(1, c) + "'";
                Fail(line, "unexpected " + shown);
            }
            t.type = TokType::Punct;
            t.text = found;
            i += t.text.size();
        } else {
            while (i < s.size() && !Delimiter(s[i])) t.text.push_back(s[i++]);
        }
        lastLine_ = line;
        toks_.push_back(std::move(t));
    }
}

bool Reader::NextIsNumber() const {
    const Tok* t = Next();
    if (!t || t->type != TokType::Word || t->text.empty()) return false;
    const std::string& w = t->text;
    if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X'))
        return w.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
    return w.find_first_not_of("0123456789") == std::string::npos;
}

uint32_t Reader::Number(const char* what) {
    if (!NextIsNumber()) FailHere(std::string("expected ") + what);
    const std::string& w = toks_[pos_].text;
    uint64_t n = 0;
    bool hex = w.size() > 2 && w[1] != 0 && (w[1] == 'x' || w[1] == 'X');
    for (size_t i = hex ? 2 : 0; i < w.size(); ++i) {
        char c = w[i];
        unsigned d = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
        n = n * (hex ? 16 : 10) + d;
        if (n > UINT32_MAX) Fail(toks_[pos_].line, "the number " + w + " does not fit 32 bits");
    }
    ++pos_;
    return static_cast<uint32_t>(n);
}

Text32 Reader::Name(const char* what) {
    const Tok* t = Next();
    if (!t || t->type == TokType::Punct) FailHere(std::string("expected ") + what);
    Text32 out{};
    if (t->type == TokType::Hex) {
        if (t->text.size() > 64) Fail(t->line, std::string(what) + ": a hex name holds at most 64 bytes");
        for (size_t i = 0; i < t->text.size(); ++i)
            out[i / 2] = static_cast<uint16_t>(out[i / 2] | static_cast<uint8_t>(t->text[i]) << (8 * (i % 2)));
    } else {
        std::u16string u = json::Utf16(t->text);
        if (u.size() > 31)
            Fail(t->line, std::string(what) + " \"" + t->text + "\" is longer than 31 UTF-16 characters");
        if (u.find(u'\0') != std::u16string::npos) Fail(t->line, std::string(what) + " holds a zero character");
        std::copy(u.begin(), u.end(), out.begin());
    }
    ++pos_;
    return out;
}

// An ASCII field of n bytes: a word or string of at most n - 1 printable
// characters, or a hex literal of at most n bytes.
void Reader::Ascii(uint8_t* out, size_t n, const char* what) {
    const Tok* t = Next();
    if (!t || t->type == TokType::Punct) FailHere(std::string("expected ") + what);
    std::fill(out, out + n, 0);
    if (t->type == TokType::Hex) {
        if (t->text.size() > n) Fail(t->line, std::string(what) + ": more than " + std::to_string(n) + " bytes");
    } else {
        if (t->text.size() > n - 1)
            Fail(t->line, std::string(what) + " is longer than " + std::to_string(n - 1) + " characters");
        for (unsigned char c : t->text)
            if (c < 0x20 || c > 0x7e) Fail(t->line, std::string(what) + " holds a character that is not printable ASCII");
    }
    std::copy(t->text.begin(), t->text.end(), out);
    ++pos_;
}

BlockPackage Reader::Read(std::vector<std::string>* warnings) {
    BlockPackage pkg;
    while (pos_ < toks_.size()) {
        const Tok& t = toks_[pos_];
        if (!t.lineStart) Fail(t.line, "a rule or directive begins in the first column; " + Show(t) + " does not");
        if (t.type != TokType::Word) Fail(t.line, "expected a rule (change, forbid, control, perpage, kind) or a directive, found " + Show(t));
        std::string word = t.text;
        ++pos_;
        if (word == "version" || word == "header" || word == "declare" || word == "spare") {
            Directive(pkg, word);
        } else {
            ruleLines_.push_back(toks_[pos_ - 1].line);
            pkg.rules.push_back(ParseRule(word));
            CheckRule(pkg.rules.back(), ruleLines_.back());
        }
        if (const Tok* extra = Next()) Fail(extra->line, "unexpected " + Show(*extra));
    }
    // Each kind of rule is read by the engine as one run.
    std::set<uint32_t> seen;
    for (size_t i = 0; i < pkg.rules.size(); ++i) {
        uint32_t kind = pkg.rules[i].kind;
        if (i > 0 && kind != pkg.rules[i - 1].kind && seen.count(kind))
            Warn(ruleLines_[i], "rules of kind " + std::to_string(kind) +
                                    " do not stand together; the engine reads only the first run of a kind");
        if (kind < vpd::kRuleChange || kind > vpd::kRulePerPageChange)
            if (!seen.count(kind))
                Warn(ruleLines_[i], "kind " + std::to_string(kind) + " ends the rules the engine reads");
        seen.insert(kind);
    }
    if (warnings) warnings->insert(warnings->end(), warnings_.begin(), warnings_.end());
    return pkg;
}

void Reader::Directive(BlockPackage& pkg, const std::string& word) {
    if (word == "version") {
        Ascii(pkg.versionName.data(), pkg.versionName.size(), "the version name");
        Ascii(pkg.versionText.data(), pkg.versionText.size(), "the version text");
    } else if (word == "header") {
        size_t line = Line();
        uint32_t field = Number("a header field number (2, 5, 8 or 11)");
        static const uint32_t kSpare[] = {2, 5, 8, 11};
        size_t slot = 4;
        for (size_t i = 0; i < 4; ++i)
            if (kSpare[i] == field) slot = i;
        if (slot == 4) Fail(line, "header field " + std::to_string(field) + " is not a free field (2, 5, 8 or 11)");
        ExpectPunct("=");
        pkg.spareFields[slot] = Number("a value");
    } else if (word == "declare") {
        const Tok* t = Next();
        std::optional<uint32_t>* count = nullptr;
        if (t && t->type == TokType::Word) {
            if (t->text == "rules") count = &pkg.ruleCount;
            else if (t->text == "conditions") count = &pkg.conditionCount;
            else if (t->text == "tokens") count = &pkg.tokenCount;
            else if (t->text == "actions") count = &pkg.actionCount;
        }
        if (!count) FailHere("expected rules, conditions, tokens or actions");
        ++pos_;
        *count = Number("a count");
    } else {  // spare
        const Tok* t = Next();
        if (t && t->type == TokType::Word && t->text == "condition") {
            ++pos_;
            pkg.spareConditions.push_back(ParseCondition());
        } else if (t && t->type == TokType::Word && t->text == "tokens") {
            ++pos_;
            do pkg.spareTokens.push_back(Number("a token number"));
            while (NextIsNumber());
        } else if (t && t->type == TokType::Word && t->text == "action") {
            ++pos_;
            Action a;
            a.code = Number("an action code");
            a.param = Number("an action parameter");
            pkg.spareActions.push_back(a);
        } else {
            FailHere("expected condition, tokens or action");
        }
    }
}

Rule Reader::ParseRule(const std::string& word) {
    Rule r;
    size_t line = toks_[pos_ - 1].line;
    bool known = false;
    for (const Word& k : kKindWords)
        if (word == k.word) {
            r.kind = k.code;
            known = true;
        }
    if (!known) {
        if (word != "kind")
            Fail(line, "expected a rule (change, forbid, control, perpage, kind) or a directive, found '" + word + "'");
        r.kind = Number("a rule kind number");
    }
    r.first.feature = Name("the target feature");
    if (NextIsPunct("[")) {
        ++pos_;
        r.first.option = Name("the option of the radio row");
        ExpectPunct("]");
    }
    if (NextIsPunct("=")) {
        ++pos_;
        r.second.option = Name("the target option");
    }
    Clauses(r);
    return r;
}

void Reader::Clauses(Rule& r) {
    bool when = false, raw = false, tokens = false;
    std::set<std::string> once;
    while (const Tok* t = Next()) {
        if (t->type != TokType::Word) FailHere("expected a clause (when, message, refuse, icon, disable, gate, ...)");
        const std::string w = t->text;
        const size_t line = t->line;
        ++pos_;
        auto single = [&] {
            if (!once.insert(w).second) Fail(line, "a rule has one '" + w + "' clause");
        };
        bool action = false;
        for (const Word& a : kActionWords)
            if (w == a.word) {
                uint32_t param = 0;
                if (!OptionalParameter(a.code) || NextIsNumber()) param = Number(OptionalParameter(a.code) ? "a number" : "a message slot");
                r.actions.push_back(Action{a.code, param});
                action = true;
            }
        if (action) continue;
        if (w == "when") {
            if (when || raw || tokens) Fail(line, "'when' stands alone: not twice, nor with 'condition' or 'tokens'");
            when = true;
            auto tree = Expr(0);
            size_t depth = 0, deepest = 0;
            Lower(*tree, r, depth, deepest);
            r.tokens.push_back(vpd::kTokenEnd);
            if (r.conditions.size() > 255) Fail(line, "more than 255 different conditions");
            if (deepest > kEngineStack)
                Warn(line, "the expression needs " + std::to_string(deepest) + " stack entries; the engine has " +
                               std::to_string(kEngineStack));
        } else if (w == "condition") {
            if (when) Fail(line, "'condition' does not go with 'when'");
            raw = true;
            r.conditions.push_back(ParseCondition());
            if (r.conditions.size() > 255) Fail(line, "more than 255 conditions");
        } else if (w == "tokens") {
            if (when || tokens) Fail(line, "'tokens' is given once and not with 'when'");
            tokens = true;
            Tokens(r);
        } else if (w == "action") {
            Action a;
            a.code = Number("an action code");
            a.param = Number("an action parameter");
            r.actions.push_back(a);
        } else if (w == "admin") {
            single();
            r.second.feature = Name("the administrator-fixed feature");
        } else if (w == "field148" || w == "field280") {
            single();
            (w == "field148" ? r.first.unused : r.second.unused) = Number("a number");
        } else if (w == "gaps") {
            single();
            const Tok* h = Next();
            if (!h || h->type != TokType::Hex) FailHere("expected a hex literal");
            if (h->text.size() > r.gaps.size()) Fail(h->line, "gaps hold at most 18 bytes");
            std::copy(h->text.begin(), h->text.end(), r.gaps.begin());
            ++pos_;
        } else if (w == "declare") {
            const Tok* d = Next();
            std::string what = d && d->type == TokType::Word ? d->text : "";
            if (what != "conditions" && what != "tokens" && what != "actions")
                FailHere("expected conditions, tokens or actions");
            ++pos_;
            size_t at = Line();
            uint32_t n = Number("a count");
            if (what != "tokens" && n > 255) Fail(at, "a rule's " + what + " count is at most 255");
            (what == "conditions" ? r.conditionCount : what == "tokens" ? r.tokenCount : r.actionCount) = n;
        } else {
            Fail(line, "unknown clause '" + w +
                           "' (when, message, refuse, icon, disable, gate, admin, action, condition, tokens, ...)");
        }
    }
}

// name operator name
Condition Reader::ParseCondition() {
    Condition c;
    c.feature = Name("a feature name");
    c.op = ParseOperator();
    c.option = Name("an option or a number");
    return c;
}

uint32_t Reader::ParseOperator() {
    const Tok* t = Next();
    if (t && t->type == TokType::Punct && t->text == "{") {
        ++pos_;
        uint32_t n = Number("an operator number");
        ExpectPunct("}");
        return n;
    }
    if (t && (t->type == TokType::Punct || t->type == TokType::Word))
        for (const Word& o : kOperatorWords)
            if (t->text == o.word) {
                ++pos_;
                return o.code;
            }
    FailHere("expected an operator (==, !=, <, >, <=, >=, =<, =>, never, never2 or {number})");
}

std::unique_ptr<Reader::Node> Reader::Expr(size_t depth) {
    auto left = Term(depth);
    while (NextIsWord("or")) {
        ++pos_;
        auto n = std::make_unique<Node>();
        n->op = vpd::kTokenOr;
        n->left = std::move(left);
        n->right = Term(depth);
        left = std::move(n);
    }
    return left;
}

std::unique_ptr<Reader::Node> Reader::Term(size_t depth) {
    auto left = Factor(depth);
    while (NextIsWord("and")) {
        ++pos_;
        auto n = std::make_unique<Node>();
        n->op = vpd::kTokenAnd;
        n->left = std::move(left);
        n->right = Factor(depth);
        left = std::move(n);
    }
    return left;
}

std::unique_ptr<Reader::Node> Reader::Factor(size_t depth) {
    if (NextIsPunct("(")) {
        if (depth >= kMaxNesting) FailHere("parentheses nested too deeply");
        ++pos_;
        auto inner = Expr(depth + 1);
        ExpectPunct(")");
        return inner;
    }
    auto n = std::make_unique<Node>();
    n->cond = ParseCondition();
    return n;
}

// Postfix order; a condition equal to one already listed is reused.  `depth` is
// the stack the tokens so far leave, `deepest` its maximum.
void Reader::Lower(const Node& n, Rule& r, size_t& depth, size_t& deepest) {
    if (n.op == 0) {
        size_t index = r.conditions.size();
        for (size_t i = 0; i < r.conditions.size(); ++i) {
            const Condition& c = r.conditions[i];
            if (c.feature == n.cond.feature && c.option == n.cond.option && c.op == n.cond.op) index = i;
        }
        if (index == r.conditions.size()) r.conditions.push_back(n.cond);
        r.tokens.push_back(static_cast<uint32_t>(index));
        deepest = std::max(deepest, ++depth);
        return;
    }
    Lower(*n.left, r, depth, deepest);
    Lower(*n.right, r, depth, deepest);
    r.tokens.push_back(n.op);
    --depth;
}

// tokens: c<n>, a number, and, or, end.
void Reader::Tokens(Rule& r) {
    size_t count = 0;
    while (const Tok* t = Next()) {
        if (t->type != TokType::Word) break;
        const std::string& w = t->text;
        if (w == "and") r.tokens.push_back(vpd::kTokenAnd);
        else if (w == "or") r.tokens.push_back(vpd::kTokenOr);
        else if (w == "end") r.tokens.push_back(vpd::kTokenEnd);
        else if (w.size() > 1 && w[0] == 'c' && w.size() <= 5 && w.find_first_not_of("0123456789", 1) == std::string::npos)
            r.tokens.push_back(static_cast<uint32_t>(std::stoul(w.substr(1))));
        else if (NextIsNumber()) {
            r.tokens.push_back(Number("a token"));
            ++count;
            continue;
        } else {
            break;
        }
        ++pos_;
        ++count;
    }
    if (count == 0) FailHere("expected tokens (c<n>, and, or, end or numbers)");
}

}  // namespace

BlockPackage RulesFromText(const std::string& text, const std::string& file, std::vector<std::string>* warnings) {
    Reader reader(text, file);
    return reader.Read(warnings);
}

}  // namespace vpdc
