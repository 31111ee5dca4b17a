// The feature catalogue: lays the built-in lists out and answers lookups.
#include "features/catalogue.h"

#include <cstring>

#include "common/le.h"
#include "common/text.h"
#include "features/catalogue_defs.h"
#include "features/option_record.h"

namespace nvx::features {

namespace {

using defs::FeatureDef;
using defs::OptionDef;

// Built-in lists that no catalogue row names: the alternative cover lists (the
// cover rule) and the lists that the reorder loads rebuild for the copy-protect
// and edge dialogs.
const OptionDef kExtraOptions[] = {
    {"Blank_FCover_PJL", 4, nullptr, 0, -1},       {"Print_FCover_PJL", 5, nullptr, 0, -1},
    {"Blank_BCover_PJL", 4, nullptr, 0, -1},       {"Print_BCover_PJL", 5, nullptr, 0, -1},
    {"CPDE_Copy", 1, nullptr, 0, -1},              {"CPDE_Invalid", 2, nullptr, 0, -1},
    {"CPDE_Confidential", 3, nullptr, 0, -1},      {"CPDE_Draft", 4, nullptr, 0, -1},
    {"CPDE_TopSecret", 5, nullptr, 0, -1},         {"CPDE_InternalUse", 6, nullptr, 0, -1},
    {"CPDE_PatternFloat", 0, nullptr, 0, -1},      {"CPDE_PatternWhiteOut", 1, nullptr, 0, -1},
    {"CPE_InvalidCopy", 1, nullptr, 0, -1},        {"CPE_COPY", 2, nullptr, 0, -1},
    {"CPE_Invalid", 3, nullptr, 0, -1},            {"CPE_InternalUse", 4, nullptr, 0, -1},
    {"CPE_Confidential", 5, nullptr, 0, -1},       {"CPE_DRAFT", 6, nullptr, 0, -1},
    {"CPE_TopSecret", 7, nullptr, 0, -1},          {"CPE_IllegalCopy", 8, nullptr, 0, -1},
    {"CPE_CP_PatternFloat", 0, nullptr, 0, -1},    {"CPE_CP_PatternWhiteOut", 1, nullptr, 0, -1},
    {"CSE_CP_PatternFloat", 0, nullptr, 0, -1},    {"CSE_CP_PatternWhiteOut", 1, nullptr, 0, -1},
    {"EdgeType_Auto", 0, nullptr, 0, -1},          {"EdgeType_Thin", 1, nullptr, 0, -1},
    {"EdgeType_Thick", 2, nullptr, 0, -1},
};
const FeatureDef kExtraLists[] = {
    {"FrontCover_op_PJL", kSizeNamed, 0, 2},  {"BackCover_op_PJL", kSizeNamed, 2, 2},
    {"CPDE_String", kSizeNamed, 4, 6},        {"CPDE_Pattern", kSizeNamed, 10, 2},
    {"CPE_StringTYPE3_op", kSizeNamed, 12, 8}, {"CPE_CP_Pattern", kSizeNamed, 20, 2},
    {"CSE_CP_Pattern", kSizeNamed, 22, 2},    {"EdgeType_op", kSizeNamed, 24, 3},
};

// Room for a list: its options and terminator at the larger of its record size
// and 144, so that a refill with 144-byte records fits in place.
size_t StorageFor(const FeatureDef& f) {
    if (f.recordSize == 0) return 0;
    size_t size = f.recordSize < kSizeNamed ? kSizeNamed : f.recordSize;
    return (static_cast<size_t>(f.count) + 1) * size;
}

// Writes one built-in record.
void WriteOption(uint8_t* rec, const FeatureDef& f, const OptionDef& o) {
    std::memset(rec, 0, f.recordSize);
    WriteHeader(rec, f.recordSize, o.keyword, o.value);
    if (f.recordSize == kSizeDuplex) {
        PutLE32(rec + offsetof(DuplexOption, valueRepeat), static_cast<uint32_t>(o.value));
        PutLE16(rec + offsetof(DuplexOption, one), 1);
    }
    if (f.recordSize >= kSizeNamed && o.name) WriteDisplayName(rec, WFromAscii(o.name));
    if (f.recordSize == kSizeNamedExtra) PutLE16(rec + offsetof(NamedExtraOption, extra), o.extra);
    if (f.recordSize == kSizeProfile && o.implied >= 0 && static_cast<size_t>(o.implied) < defs::kImpliedCount) {
        const defs::ImpliedDef& imp = defs::kImplied[o.implied];
        const char* words[3] = {imp.text, imp.image, imp.graphics};
        for (int i = 0; i < 3; ++i)
            std::memcpy(rec + offsetof(ProfileOption, text) + kKeywordBytes * i, words[i],
                        strnlen(words[i], kKeywordBytes - 1));
    }
}

// Lays one list out at dst: its options, then the terminator.
void LayList(uint8_t* dst, const FeatureDef& f, const OptionDef* options) {
    uint8_t* rec = dst;
    for (size_t i = 0; i < f.count; ++i, rec += f.recordSize) WriteOption(rec, f, options[f.first + i]);
    PutLE32(rec, f.recordSize);  // terminator: empty keyword, value 0
}

}  // namespace

Catalogue::Catalogue() {
    size_t total = 0;
    for (size_t i = 0; i < defs::kFeatureCount; ++i) total += StorageFor(defs::kFeatures[i]);
    for (const FeatureDef& f : kExtraLists) total += StorageFor(f);
    storage_.assign(total, 0);
    Lay();
}

void Catalogue::Reset() {
    std::memset(storage_.data(), 0, storage_.size());
    Lay();
}

void Catalogue::Lay() {
    rows_.clear();
    slots_.clear();
    size_t at = 0;
    auto place = [&](const FeatureDef& f, const OptionDef* options) {
        size_t bytes = StorageFor(f);
        if (bytes) LayList(storage_.data() + at, f, options);
        slots_.push_back({f.name, at, bytes, bytes != 0});
        at += bytes;
    };
    for (size_t i = 0; i < defs::kFeatureCount; ++i) place(defs::kFeatures[i], defs::kOptions);
    for (const FeatureDef& f : kExtraLists) place(f, kExtraOptions);
    for (size_t i = 0; i < defs::kFeatureCount; ++i)
        rows_.push_back({slots_[i].name, slots_[i].hasList ? storage_.data() + slots_[i].offset : nullptr});
    rows_.push_back({"", nullptr});
}

const Catalogue::Slot* Catalogue::SlotOf(std::string_view name) const {
    for (const Slot& s : slots_)
        if (name == s.name) return &s;
    return nullptr;
}

const FeatureEntry* Catalogue::Find(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (const FeatureEntry& row : rows_) {
        if (row.name[0] == 0) break;
        if (name == row.name) return &row;
    }
    return nullptr;
}

uint8_t* Catalogue::FindList(std::string_view name) {
    return const_cast<uint8_t*>(static_cast<const Catalogue*>(this)->FindList(name));
}

const uint8_t* Catalogue::FindList(std::string_view name) const {
    if (const FeatureEntry* row = Find(name)) return row->options;
    const Slot* s = SlotOf(name);
    return s && s->hasList ? storage_.data() + s->offset : nullptr;
}

size_t Catalogue::StorageBytes(const uint8_t* list) const {
    if (list == nullptr) return 0;
    for (const Slot& s : slots_)
        if (s.hasList && list == storage_.data() + s.offset) return s.bytes;
    return 0;
}

bool Catalogue::Bind(std::string_view name, uint8_t* list) {
    for (FeatureEntry& row : rows_) {
        if (row.name[0] == 0) break;
        if (name == row.name) {
            row.options = list;
            return true;
        }
    }
    return false;
}

Catalogue::CoverModes Catalogue::ChooseCoverLists(bool frontCoverPrint, bool backCoverPrint) {
    // The slots keep every built-in list whatever the rows point at.
    auto slotList = [this](const char* name) { return storage_.data() + SlotOf(name)->offset; };
    uint8_t* front = slotList(frontCoverPrint ? "FrontCover_op" : "FrontCover_op_PJL");
    uint8_t* back = slotList(backCoverPrint ? "BackCover_op" : "BackCover_op_PJL");
    bool frontSet = false, backSet = false;
    for (FeatureEntry& row : rows_) {  // the search stops once both rows are set
        if (row.name[0] == 0 || (frontSet && backSet)) break;
        if (std::strcmp(row.name, "FrontCover_op") == 0) {
            row.options = front;
            frontSet = true;
        } else if (std::strcmp(row.name, "BackCover_op") == 0) {
            row.options = back;
            backSet = true;
        }
    }
    CoverModes modes;
    modes.front = ValueAt(front, 0).value_or(0);
    modes.back = ValueAt(back, 0).value_or(0);
    return modes;
}

Catalogue& TheCatalogue() {
    static Catalogue catalogue;
    return catalogue;
}

}  // namespace nvx::features
