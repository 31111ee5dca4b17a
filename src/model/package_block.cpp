// Block layout load of the constraint file.
#include "model/package_block.h"

#include <cstring>
#include <new>
#include <string_view>

#include "common/le.h"
#include "model/package.h"

namespace nvx::model {

namespace {

// How many elements of elemSize bytes at offset the file holds, at most count.
// Offset 0 designates no array.
uint32_t HeldCount(uint32_t count, uint32_t offset, uint32_t elemSize, uint32_t fileSize) {
    if (offset == 0 || offset >= fileSize) return 0;
    uint32_t held = (fileSize - offset) / elemSize;
    return count < held ? count : held;
}

template <typename T>
std::unique_ptr<T[]> AllocZeroed(uint32_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count == 0 ? 1 : count]());
}

void GetText(WCHAR* dst, const uint8_t* src) {
    for (unsigned i = 0; i < vpd::kTextChars; ++i) dst[i] = static_cast<WCHAR>(GetLE16(src + 2 * i));
}

void GetBlock(RuleBlock* dst, const uint8_t* src) {
    GetText(dst->feature, src + offsetof(vpd::RuleBlock, feature));
    GetText(dst->option, src + offsetof(vpd::RuleBlock, option));
    dst->unused = GetLE32(src + offsetof(vpd::RuleBlock, unused));
}

// Reads count elements of elemSize bytes at offset through a scratch buffer and
// hands each to convert(index, bytes).  False on a read failure.
template <typename Convert>
bool ReadArray(const Package& pkg, uint32_t offset, uint32_t count, uint32_t elemSize, Convert convert) {
    constexpr uint32_t kChunk = 64 * 1024;
    uint32_t perChunk = kChunk / elemSize;
    std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[kChunk]);
    if (!buf) return false;
    for (uint32_t done = 0; done < count;) {
        uint32_t n = count - done < perChunk ? count - done : perChunk;
        uint32_t bytes = n * elemSize;
        if (pkg.Read(buf.get(), bytes, offset + done * elemSize) != static_cast<int64_t>(bytes)) return false;
        for (uint32_t i = 0; i < n; ++i) convert(done + i, buf.get() + i * elemSize);
        done += n;
    }
    return true;
}

}  // namespace

void ConstraintBlock::Clear() {
    header_ = ConstraintHeader{};
    rules_.reset();
    conditions_.reset();
    tokens_.reset();
    actions_.reset();
}

// One zeroed element of each array, row 0 pointing at the other three.
bool ConstraintBlock::Fallback() {
    Clear();
    rules_ = AllocZeroed<ConstraintRow>(1);
    conditions_ = AllocZeroed<ConditionRecord>(1);
    tokens_ = AllocZeroed<uint32_t>(1);
    actions_ = AllocZeroed<ActionRecord>(1);
    if (!rules_ || !conditions_ || !tokens_ || !actions_) {
        Clear();
        return false;
    }
    rules_[0].conditions = conditions_.get();
    rules_[0].tokens = tokens_.get();
    rules_[0].actions = actions_.get();
    return false;
}

bool ConstraintBlock::Load(const WCHAR* path) {
    PackagePtr pkg = Package::Open(path);
    if (!pkg) return Fallback();
    return Load(*pkg);
}

bool ConstraintBlock::Load(const Package& pkg) {
    Clear();
    uint8_t h[vpd::kBlockHeaderSize];
    if (pkg.Read(h, sizeof h, 0) != static_cast<int64_t>(sizeof h)) return Fallback();
    for (unsigned i = 0; i < 12; ++i) header_.field[i] = GetLE32(h + 4 * i);
    std::memcpy(header_.versionName, h + offsetof(vpd::BlockHeader, versionName), sizeof header_.versionName);
    std::memcpy(header_.versionText, h + offsetof(vpd::BlockHeader, versionText), sizeof header_.versionText);

    const uint32_t size = pkg.Size();
    uint32_t* f = header_.field;
    const uint32_t rules = HeldCount(f[vpd::kRuleCount], f[vpd::kRuleOffset], vpd::kRuleRecordSize, size);
    const uint32_t conds = HeldCount(f[vpd::kConditionCount], f[vpd::kConditionOffset], vpd::kConditionSize, size);
    const uint32_t tokens = HeldCount(f[vpd::kTokenCount], f[vpd::kTokenOffset], 4, size);
    const uint32_t actions = HeldCount(f[vpd::kActionCount], f[vpd::kActionOffset], vpd::kActionSize, size);

    rules_ = AllocZeroed<ConstraintRow>(rules);
    conditions_ = AllocZeroed<ConditionRecord>(conds);
    tokens_ = AllocZeroed<uint32_t>(tokens);
    actions_ = AllocZeroed<ActionRecord>(actions);
    if (!rules_ || !conditions_ || !tokens_ || !actions_) return Fallback();

    ConditionRecord* c = conditions_.get();
    uint32_t* t = tokens_.get();
    ActionRecord* a = actions_.get();
    bool ok = ReadArray(pkg, f[vpd::kConditionOffset], conds, vpd::kConditionSize,
                        [&](uint32_t i, const uint8_t* p) {
                            GetText(c[i].feature, p + offsetof(vpd::ConditionRecordDisk, feature));
                            GetText(c[i].option, p + offsetof(vpd::ConditionRecordDisk, option));
                            c[i].op = GetLE32(p + offsetof(vpd::ConditionRecordDisk, op));
                        }) &&
              ReadArray(pkg, f[vpd::kTokenOffset], tokens, 4,
                        [&](uint32_t i, const uint8_t* p) { t[i] = GetLE32(p); }) &&
              ReadArray(pkg, f[vpd::kActionOffset], actions, vpd::kActionSize, [&](uint32_t i, const uint8_t* p) {
                  a[i].code = GetLE32(p + offsetof(vpd::ActionRecordDisk, code));
                  a[i].param = GetLE32(p + offsetof(vpd::ActionRecordDisk, param));
              });

    // Rows take their shares in order; the first rule whose share is not held ends the rules.
    uint32_t kept = 0, usedC = 0, usedT = 0, usedA = 0;
    bool stop = false;
    ok = ok && ReadArray(pkg, f[vpd::kRuleOffset], rules, vpd::kRuleRecordSize, [&](uint32_t i, const uint8_t* p) {
        if (stop) return;
        ConstraintRow& r = rules_[i];
        r.conditionCount = p[offsetof(vpd::RuleRecord, conditionCount)];
        r.tokenCount = GetLE32(p + offsetof(vpd::RuleRecord, tokenCount));
        r.actionCount = p[offsetof(vpd::RuleRecord, actionCount)];
        if (r.conditionCount > conds - usedC || r.tokenCount > tokens - usedT || r.actionCount > actions - usedA) {
            r = ConstraintRow{};
            stop = true;
            return;
        }
        r.id = GetLE32(p + offsetof(vpd::RuleRecord, id));
        GetBlock(&r.first, p + offsetof(vpd::RuleRecord, first));
        GetBlock(&r.second, p + offsetof(vpd::RuleRecord, second));
        r.conditions = c + usedC;
        r.tokens = t + usedT;
        r.actions = a + usedA;
        usedC += r.conditionCount;
        usedT += r.tokenCount;
        usedA += r.actionCount;
        ++kept;
    });
    if (!ok) return Fallback();  // a read through the file failed
    if (kept == 0) {
        rules_[0].conditions = c;
        rules_[0].tokens = t;
        rules_[0].actions = a;
    }
    f[vpd::kRuleCount] = kept;
    f[vpd::kConditionCount] = conds;
    f[vpd::kTokenCount] = tokens;
    f[vpd::kActionCount] = actions;
    return true;
}

bool ConstraintBlock::CustomVersion(char* dst, size_t size) const {
    if (dst == nullptr || size == 0) return false;
    dst[0] = 0;
    std::string_view name(header_.versionName, strnlen(header_.versionName, sizeof header_.versionName));
    if (!AsciiEqualNoCase(name, vpd::kCustomVersionName)) return false;
    size_t len = strnlen(header_.versionText, sizeof header_.versionText);
    if (len > size - 1) len = size - 1;
    std::memcpy(dst, header_.versionText, len);
    dst[len] = 0;
    return true;
}

}  // namespace nvx::model
