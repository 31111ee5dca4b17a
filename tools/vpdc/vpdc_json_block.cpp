// Block-layout sources (the constraint file): JSON <-> BlockPackage.
#include <sstream>

#include "model/vpd_format.h"
#include "vpdc_json_util.h"

namespace vpdc {

using namespace json;
namespace vpd = nvx::vpd;

namespace {

struct Name {
    uint32_t code;
    const char* name;
};
constexpr Name kKinds[] = {{vpd::kRuleChange, "change"},
                           {vpd::kRuleProhibit, "prohibit"},
                           {vpd::kRuleControl, "control"},
                           {vpd::kRulePerPageChange, "per_page_change"}};
constexpr Name kOps[] = {{vpd::kOpEqual, "eq"},   {vpd::kOpNotEqual, "ne"},     {vpd::kOpLess, "lt"},
                         {vpd::kOpGreater, "gt"}, {vpd::kOpLessEqual, "le"},    {vpd::kOpGreaterEqual, "ge"},
                         {vpd::kOpNever1, "never"}};
constexpr Name kActions[] = {{vpd::kActDisable, "disable"},
                             {vpd::kActChangeMessage, "change_message"},
                             {vpd::kActConstraintMessage, "constraint_message"},
                             {vpd::kActIcon, "icon"},
                             {vpd::kActGate, "gate"}};

template <size_t N>
uint32_t CodeOf(const Json& v, const Name (&names)[N], const Place& at, const char* what) {
    if (v.is_string()) {
        std::string s = v.get<std::string>();
        for (const Name& n : names)
            if (s == n.name) return n.code;
        if (s.rfind("0x", 0) != 0) {
            std::string known;
            for (const Name& n : names) known += std::string(known.empty() ? "" : ", ") + n.name;
            at.Fail("unknown " + std::string(what) + " \"" + s + "\" (" + known + ", or a number)");
        }
    }
    return U32(v, at);
}

template <size_t N>
Json NameOf(uint32_t code, const Name (&names)[N]) {
    for (const Name& n : names)
        if (n.code == code) return n.name;
    return code;
}

// Postfix expression: "c0 c1 and end"; c<n> selects condition n (which must
// exist), #<n> is any number as it stands.
std::vector<uint32_t> ParseExpr(const std::string& s, size_t conditions, const Place& at) {
    std::vector<uint32_t> tokens;
    std::istringstream in(s);
    std::string w;
    while (in >> w) {
        if (w == "and") tokens.push_back(vpd::kTokenAnd);
        else if (w == "or") tokens.push_back(vpd::kTokenOr);
        else if (w == "end") tokens.push_back(vpd::kTokenEnd);
        else if ((w[0] == 'c' || w[0] == '#') && w.size() > 1 && w.size() <= 11 &&
                 w.find_first_not_of("0123456789", 1) == std::string::npos) {
            uint64_t n = std::stoull(w.substr(1));
            if (n > UINT32_MAX || (w[0] == 'c' && n >= vpd::kTokenAnd)) at.Fail("token \"" + w + "\" out of range");
            if (w[0] == 'c' && n >= conditions) at.Fail("token " + w + " names a missing condition");
            tokens.push_back(static_cast<uint32_t>(n));
        } else {
            at.Fail("unknown token \"" + w + "\" (c<n>, and, or, end, #<number>)");
        }
    }
    return tokens;
}

std::string ExprToString(const std::vector<uint32_t>& tokens, size_t conditions) {
    std::string s;
    for (uint32_t t : tokens) {
        if (!s.empty()) s += ' ';
        if (t == vpd::kTokenAnd) s += "and";
        else if (t == vpd::kTokenOr) s += "or";
        else if (t == vpd::kTokenEnd) s += "end";
        else if (t < conditions) s += "c" + std::to_string(t);
        else s += "#" + std::to_string(t);
    }
    return s;
}

Condition ReadCondition(const Json& v, const Place& at) {
    Condition c;
    if (v.is_array()) {
        if (v.size() != 3) at.Fail("a short condition is [feature, operator, option]");
        c.feature = TextField(Json{{"feature", v[0]}}, "feature", at[0]);
        c.op = CodeOf(v[1], kOps, at[1], "operator");
        c.option = TextField(Json{{"option", v[2]}}, "option", at[2]);
        return c;
    }
    Object(v, at);
    OnlyMembers(v, at, {"feature", "feature_hex", "op", "option", "option_hex"});
    c.feature = TextField(v, "feature", at);
    c.option = TextField(v, "option", at);
    if (!v.contains("op")) at.Fail("condition without \"op\"");
    c.op = CodeOf(v["op"], kOps, at / "op", "operator");
    return c;
}

bool CleanText(const Text32& t) {
    Json probe = Json::object();
    PutTextField(probe, "x", t, false);
    return probe.contains("x");
}

Json ConditionToJson(const Condition& c) {
    if (CleanText(c.feature) && CleanText(c.option)) {
        Json probe = Json::object();
        PutTextField(probe, "f", c.feature, false);
        PutTextField(probe, "o", c.option, false);
        return Json::array({probe["f"], NameOf(c.op, kOps), probe["o"]});
    }
    Json o = Json::object();
    PutTextField(o, "feature", c.feature, false);
    o["op"] = NameOf(c.op, kOps);
    PutTextField(o, "option", c.option, false);
    return o;
}

Action ReadAction(const Json& v, const Place& at) {
    if (!v.is_array() || v.size() != 2) at.Fail("an action is [code, parameter]");
    return Action{CodeOf(v[0], kActions, at[0], "action"), U32(v[1], at[1])};
}

Rule ReadRule(const Json& v, Place at) {
    Object(v, at);
    OnlyMembers(v, at, {"kind", "target", "target_hex", "option", "option_hex", "unused148", "second", "second_hex",
                        "target_option", "target_option_hex", "unused280", "conditions", "expr", "tokens", "actions",
                        "condition_count", "token_count", "action_count", "gaps", "comment"});
    Rule r;
    if (!v.contains("kind")) at.Fail("rule without \"kind\"");
    r.kind = CodeOf(v["kind"], kKinds, at / "kind", "rule kind");
    r.first.feature = TextField(v, "target", at);
    r.first.option = TextField(v, "option", at);
    r.second.feature = TextField(v, "second", at);
    r.second.option = TextField(v, "target_option", at);
    if (v.contains("unused148")) r.first.unused = U32(v["unused148"], at / "unused148");
    if (v.contains("unused280")) r.second.unused = U32(v["unused280"], at / "unused280");
    if (v.contains("conditions")) {
        const Json& c = Array(v["conditions"], at / "conditions");
        for (size_t i = 0; i < c.size(); ++i) r.conditions.push_back(ReadCondition(c[i], (at / "conditions")[i]));
    }
    if (v.contains("expr") && v.contains("tokens")) at.Fail("give \"expr\" or \"tokens\", not both");
    if (v.contains("expr")) r.tokens = ParseExpr(String(v["expr"], at / "expr"), r.conditions.size(), at / "expr");
    if (v.contains("tokens")) {
        const Json& t = Array(v["tokens"], at / "tokens");
        for (size_t i = 0; i < t.size(); ++i) r.tokens.push_back(U32(t[i], (at / "tokens")[i]));
    }
    if (v.contains("actions")) {
        const Json& a = Array(v["actions"], at / "actions");
        for (size_t i = 0; i < a.size(); ++i) r.actions.push_back(ReadAction(a[i], (at / "actions")[i]));
    }
    if (v.contains("condition_count"))
        r.conditionCount = static_cast<uint32_t>(Integer(v["condition_count"], at / "condition_count", 0, 255));
    if (v.contains("token_count")) r.tokenCount = U32(v["token_count"], at / "token_count");
    if (v.contains("action_count"))
        r.actionCount = static_cast<uint32_t>(Integer(v["action_count"], at / "action_count", 0, 255));
    if (v.contains("gaps")) {
        Bytes g = FromHex(v["gaps"], at / "gaps");
        if (g.size() > r.gaps.size()) (at / "gaps").Fail("more than 18 bytes");
        std::copy(g.begin(), g.end(), r.gaps.begin());
    }
    return r;
}

Json RuleToJson(const Rule& r) {
    Json o = Json::object();
    o["kind"] = NameOf(r.kind, kKinds);
    PutTextField(o, "target", r.first.feature, false);
    PutTextField(o, "option", r.first.option, true);
    if (r.first.unused) o["unused148"] = r.first.unused;
    PutTextField(o, "second", r.second.feature, true);
    PutTextField(o, "target_option", r.second.option, true);
    if (r.second.unused) o["unused280"] = r.second.unused;
    if (!r.conditions.empty()) {
        Json c = Json::array();
        for (const Condition& cond : r.conditions) c.push_back(ConditionToJson(cond));
        o["conditions"] = c;
    }
    if (!r.tokens.empty()) o["expr"] = ExprToString(r.tokens, r.conditions.size());
    if (!r.actions.empty()) {
        Json a = Json::array();
        for (const Action& act : r.actions) a.push_back(Json::array({NameOf(act.code, kActions), act.param}));
        o["actions"] = a;
    }
    if (r.conditionCount) o["condition_count"] = *r.conditionCount;
    if (r.tokenCount) o["token_count"] = *r.tokenCount;
    if (r.actionCount) o["action_count"] = *r.actionCount;
    Bytes g(r.gaps.begin(), r.gaps.end());
    while (!g.empty() && g.back() == 0) g.pop_back();
    if (!g.empty()) o["gaps"] = ToHex(g);
    return o;
}

const char* const kCountNames[] = {"rules", "conditions", "tokens", "actions"};

}  // namespace

BlockPackage BlockFromJson(const Json& src) {
    Place root;
    Object(src, root);
    OnlyMembers(src, root, {"layout", "version", "header_fields", "header_counts", "rules", "spare_conditions",
                            "spare_tokens", "spare_actions", "comment"});
    if (!src.contains("layout") || src["layout"] != "block") (root / "layout").Fail("expected \"block\"");
    BlockPackage pkg;
    if (src.contains("version")) {
        Place p = root / "version";
        const Json& v = Object(src["version"], p);
        OnlyMembers(v, p, {"name", "name_hex", "text", "text_hex"});
        AsciiField(v, "name", pkg.versionName.data(), pkg.versionName.size(), p);
        AsciiField(v, "text", pkg.versionText.data(), pkg.versionText.size(), p);
    }
    if (src.contains("header_fields")) {
        Place p = root / "header_fields";
        const Json& h = Object(src["header_fields"], p);
        OnlyMembers(h, p, {"2", "5", "8", "11"});
        const char* names[] = {"2", "5", "8", "11"};
        for (unsigned i = 0; i < 4; ++i)
            if (h.contains(names[i])) pkg.spareFields[i] = U32(h[names[i]], p / names[i]);
    }
    if (src.contains("header_counts")) {
        Place p = root / "header_counts";
        const Json& h = Object(src["header_counts"], p);
        OnlyMembers(h, p, {"rules", "conditions", "tokens", "actions"});
        std::optional<uint32_t>* counts[] = {&pkg.ruleCount, &pkg.conditionCount, &pkg.tokenCount, &pkg.actionCount};
        for (unsigned i = 0; i < 4; ++i)
            if (h.contains(kCountNames[i])) *counts[i] = U32(h[kCountNames[i]], p / kCountNames[i]);
    }
    if (src.contains("rules")) {
        const Json& rules = Array(src["rules"], root / "rules");
        for (size_t i = 0; i < rules.size(); ++i) pkg.rules.push_back(ReadRule(rules[i], (root / "rules")[i]));
    }
    if (src.contains("spare_conditions")) {
        const Json& c = Array(src["spare_conditions"], root / "spare_conditions");
        for (size_t i = 0; i < c.size(); ++i)
            pkg.spareConditions.push_back(ReadCondition(c[i], (root / "spare_conditions")[i]));
    }
    if (src.contains("spare_tokens")) {
        const Json& t = Array(src["spare_tokens"], root / "spare_tokens");
        for (size_t i = 0; i < t.size(); ++i) pkg.spareTokens.push_back(U32(t[i], (root / "spare_tokens")[i]));
    }
    if (src.contains("spare_actions")) {
        const Json& a = Array(src["spare_actions"], root / "spare_actions");
        for (size_t i = 0; i < a.size(); ++i) pkg.spareActions.push_back(ReadAction(a[i], (root / "spare_actions")[i]));
    }
    return pkg;
}

Json BlockToJson(const BlockPackage& pkg) {
    Json out = Json::object();
    out["layout"] = "block";
    Json version = Json::object();
    PutAsciiField(version, "name", pkg.versionName.data(), pkg.versionName.size());
    PutAsciiField(version, "text", pkg.versionText.data(), pkg.versionText.size());
    if (!version.empty()) out["version"] = version;
    Json fields = Json::object();
    const char* names[] = {"2", "5", "8", "11"};
    for (unsigned i = 0; i < 4; ++i)
        if (pkg.spareFields[i]) fields[names[i]] = pkg.spareFields[i];
    if (!fields.empty()) out["header_fields"] = fields;
    Json counts = Json::object();
    const std::optional<uint32_t>* declared[] = {&pkg.ruleCount, &pkg.conditionCount, &pkg.tokenCount,
                                                 &pkg.actionCount};
    for (unsigned i = 0; i < 4; ++i)
        if (*declared[i]) counts[kCountNames[i]] = **declared[i];
    if (!counts.empty()) out["header_counts"] = counts;
    Json rules = Json::array();
    for (const Rule& r : pkg.rules) rules.push_back(RuleToJson(r));
    out["rules"] = rules;
    if (!pkg.spareConditions.empty()) {
        Json c = Json::array();
        for (const Condition& cond : pkg.spareConditions) c.push_back(ConditionToJson(cond));
        out["spare_conditions"] = c;
    }
    if (!pkg.spareTokens.empty()) out["spare_tokens"] = pkg.spareTokens;
    if (!pkg.spareActions.empty()) {
        Json a = Json::array();
        for (const Action& act : pkg.spareActions) a.push_back(Json::array({NameOf(act.code, kActions), act.param}));
        out["spare_actions"] = a;
    }
    return out;
}

Bytes Compile(const Json& src) {
    if (!src.is_object() || !src.contains("layout") || !src["layout"].is_string())
        throw Error("layout: expected \"directory52\", \"directory40\" or \"block\"");
    if (src["layout"] == "block") return WriteBlock(BlockFromJson(src));
    return WriteDirectory(DirectoryFromJson(src));
}

Json Dump(const Bytes& file, Layout layout, const Json* layouts) {
    if (layout == Layout::Auto) layout = DetectLayout(file);
    switch (layout) {
    case Layout::Block: return BlockToJson(ReadBlock(file));
    case Layout::Directory40: return DirectoryToJson(ReadDirectory(file, vpd::kEntry40Size), layouts);
    default: return DirectoryToJson(ReadDirectory(file, vpd::kEntry52Size), layouts);
    }
}

}  // namespace vpdc
