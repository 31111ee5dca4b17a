// The rule language's writer: BlockPackage -> text that reads back to the same
// package.
#include <algorithm>
#include <memory>

#include "vpdc_json_util.h"
#include "vpdc_rules.h"
#include "vpdc_rules_syntax.h"

namespace vpdc {

using namespace rules;

namespace {

const char* const kIndent = "    ";

// Trailing zero units (of `unit` bytes) are left out: the reader zero-fills.
std::string Hex(const uint8_t* p, size_t n, size_t unit = 1) {
    while (n >= unit && std::all_of(p + n - unit, p + n, [](uint8_t b) { return b == 0; })) n -= unit;
    return "hex\"" + json::ToHex(p, n) + "\"";
}

// A string in quotes, or null when its characters cannot be quoted.
bool Quote(const std::string& s, std::string* out) {
    std::string q = "\"";
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
        if (c == '"' || c == '\\') q.push_back('\\');
        q.push_back(c);
    }
    *out = q + "\"";
    return true;
}

bool BareWord(const std::string& s) {
    if (s.empty() || Reserved(s) || s.compare(0, 4, "hex\"") == 0) return false;
    for (char c : s)
        if (Delimiter(c) || static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A UTF-16 name: a bare word, a quoted string, or (for a field with bytes after
// its end or text that UTF-8 cannot carry) a hex literal of its 64 bytes.
std::string NameText(const Text32& t) {
    size_t len = 0;
    while (len < t.size() && t[len] != 0) ++len;
    bool clean = len < t.size();
    for (size_t i = len; i < t.size(); ++i) clean = clean && t[i] == 0;
    std::string utf8, quoted;
    if (clean && json::ExactUtf8(std::u16string(t.begin(), t.begin() + static_cast<long>(len)), &utf8)) {
        if (BareWord(utf8)) return utf8;
        if (Quote(utf8, &quoted)) return quoted;
    }
    uint8_t b[64];
    for (size_t i = 0; i < t.size(); ++i) {
        b[2 * i] = static_cast<uint8_t>(t[i]);
        b[2 * i + 1] = static_cast<uint8_t>(t[i] >> 8);
    }
    return Hex(b, sizeof b, 2);
}

// An ASCII field of n bytes.
std::string AsciiText(const uint8_t* f, size_t n) {
    size_t len = 0;
    while (len < n && f[len] != 0) ++len;
    bool clean = len < n;
    for (size_t i = len; i < n; ++i) clean = clean && f[i] == 0;
    std::string s(reinterpret_cast<const char*>(f), len), quoted;
    for (unsigned char c : s) clean = clean && c >= 0x20 && c <= 0x7e;
    if (clean && Quote(s, &quoted)) return quoted;
    return Hex(f, n);
}

template <size_t N>
const char* WordOf(uint32_t code, const Word (&words)[N]) {
    for (const Word& w : words)
        if (w.code == code) return w.word;
    return nullptr;
}

std::string OperatorText(uint32_t op) {
    if (const char* w = WordOf(op, kOperatorWords)) return w;
    return "{" + std::to_string(op) + "}";
}

std::string ConditionText(const Condition& c) {
    return NameText(c.feature) + " " + OperatorText(c.op) + " " + NameText(c.option);
}

std::string ActionText(const Action& a) {
    const char* w = WordOf(a.code, kActionWords);
    if (!w) return "action " + std::to_string(a.code) + " " + std::to_string(a.param);
    if (OptionalParameter(a.code) && a.param == 0) return w;
    return std::string(w) + " " + std::to_string(a.param);
}

// The infix spelling of a rule's tokens, or "" when they are not one well-formed
// expression ended by the end token.  `and` binds tighter than `or`.
struct Node {
    uint32_t token;  // condition index, kTokenAnd or kTokenOr
    std::unique_ptr<Node> left, right;
};

int Precedence(const Node& n) { return n.token == vpd::kTokenOr ? 1 : n.token == vpd::kTokenAnd ? 2 : 3; }

std::string Infix(const Node& n, const Rule& r) {
    if (!n.left) return ConditionText(r.conditions[n.token]);
    int p = Precedence(n);
    std::string l = Infix(*n.left, r), rt = Infix(*n.right, r);
    if (Precedence(*n.left) < p) l = "(" + l + ")";
    if (Precedence(*n.right) <= p) rt = "(" + rt + ")";
    return l + (n.token == vpd::kTokenAnd ? " and " : " or ") + rt;
}

std::string InfixOf(const Rule& r) {
    if (r.tokens.empty() || r.tokens.back() != vpd::kTokenEnd) return "";
    std::vector<std::unique_ptr<Node>> stack;
    for (size_t i = 0; i + 1 < r.tokens.size(); ++i) {
        uint32_t t = r.tokens[i];
        auto n = std::make_unique<Node>();
        n->token = t;
        if (t == vpd::kTokenAnd || t == vpd::kTokenOr) {
            if (stack.size() < 2) return "";
            n->right = std::move(stack.back());
            stack.pop_back();
            n->left = std::move(stack.back());
            stack.pop_back();
        } else if (t >= r.conditions.size()) {
            return "";
        }
        stack.push_back(std::move(n));
    }
    if (stack.size() != 1) return "";
    return Infix(*stack[0], r);
}

std::string TokenText(uint32_t t, size_t conditions) {
    if (t == vpd::kTokenAnd) return "and";
    if (t == vpd::kTokenOr) return "or";
    if (t == vpd::kTokenEnd) return "end";
    if (t < conditions) return "c" + std::to_string(t);
    return std::to_string(t);
}

// A rule in the language; `raw` spells its conditions and tokens out.
std::string RuleText(const Rule& r, bool raw) {
    std::string s;
    if (const char* k = WordOf(r.kind, kKindWords)) s = k;
    else s = "kind " + std::to_string(r.kind);
    s += " " + NameText(r.first.feature);
    if (r.first.option != Text32{}) s += "[" + NameText(r.first.option) + "]";
    if (r.second.option != Text32{}) s += " = " + NameText(r.second.option);
    s += "\n";
    auto line = [&](const std::string& clause) { s += kIndent + clause + "\n"; };
    std::string infix = raw ? "" : InfixOf(r);
    if (!infix.empty()) {
        line("when " + infix);
    } else {
        for (const Condition& c : r.conditions) line("condition " + ConditionText(c));
        if (!r.tokens.empty()) {
            std::string t = "tokens";
            for (uint32_t tok : r.tokens) t += " " + TokenText(tok, r.conditions.size());
            line(t);
        }
    }
    if (r.second.feature != Text32{}) line("admin " + NameText(r.second.feature));
    for (const Action& a : r.actions) line(ActionText(a));
    if (r.first.unused) line("field148 " + std::to_string(r.first.unused));
    if (r.second.unused) line("field280 " + std::to_string(r.second.unused));
    if (r.conditionCount) line("declare conditions " + std::to_string(*r.conditionCount));
    if (r.tokenCount) line("declare tokens " + std::to_string(*r.tokenCount));
    if (r.actionCount) line("declare actions " + std::to_string(*r.actionCount));
    if (r.gaps != decltype(r.gaps){}) line("gaps " + Hex(r.gaps.data(), r.gaps.size()));
    return s;
}

bool SameRule(const Rule& a, const Rule& b) {
    BlockPackage pa, pb;
    pa.rules.push_back(a);
    pb.rules.push_back(b);
    return SameBlock(pa, pb);
}

}  // namespace

bool SameBlock(const BlockPackage& a, const BlockPackage& b) {
    try {
        return WriteBlock(a) == WriteBlock(b);
    } catch (const Error&) {
        return false;
    }
}

std::string RulesToText(const BlockPackage& pkg) {
    std::string s = "# Constraint rules (" + std::to_string(pkg.rules.size()) + ")\n";
    bool hasVersion = false;
    for (uint8_t c : pkg.versionName) hasVersion = hasVersion || c;
    for (uint8_t c : pkg.versionText) hasVersion = hasVersion || c;
    if (hasVersion)
        s += "version " + AsciiText(pkg.versionName.data(), pkg.versionName.size()) + " " +
             AsciiText(pkg.versionText.data(), pkg.versionText.size()) + "\n";
    static const char* const kSpare[] = {"2", "5", "8", "11"};
    for (size_t i = 0; i < 4; ++i)
        if (pkg.spareFields[i]) s += "header " + std::string(kSpare[i]) + " = " + std::to_string(pkg.spareFields[i]) + "\n";
    const std::pair<const char*, const std::optional<uint32_t>*> counts[] = {{"rules", &pkg.ruleCount},
                                                                             {"conditions", &pkg.conditionCount},
                                                                             {"tokens", &pkg.tokenCount},
                                                                             {"actions", &pkg.actionCount}};
    for (const auto& [name, count] : counts)
        if (*count) s += "declare " + std::string(name) + " " + std::to_string(**count) + "\n";
    for (const Rule& r : pkg.rules) {
        std::string text = RuleText(r, false);
        // The infix spelling numbers conditions by first appearance and merges equal
        // ones: keep it only where it reads back to this very rule.
        bool same = false;
        try {
            BlockPackage back = RulesFromText(text, "rule");
            same = back.rules.size() == 1 && SameRule(back.rules[0], r);
        } catch (const Error&) {
        }
        s += "\n" + (same ? text : RuleText(r, true));
    }
    if (!pkg.spareConditions.empty() || !pkg.spareTokens.empty() || !pkg.spareActions.empty()) s += "\n";
    for (const Condition& c : pkg.spareConditions) s += "spare condition " + ConditionText(c) + "\n";
    if (!pkg.spareTokens.empty()) {
        s += "spare tokens";
        for (uint32_t t : pkg.spareTokens) s += " " + std::to_string(t);
        s += "\n";
    }
    for (const Action& a : pkg.spareActions)
        s += "spare action " + std::to_string(a.code) + " " + std::to_string(a.param) + "\n";
    return s;
}

}  // namespace vpdc
