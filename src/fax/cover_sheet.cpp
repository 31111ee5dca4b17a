// The fax cover sheet record, its checks and its stores.
#include "fax/cover_sheet.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "common/le.h"
#include "model/stores.h"

namespace nvx::fax {

namespace {

constexpr const WCHAR kCoverKey[] = WL("FaxCoverSheet");
constexpr const WCHAR kSetsKey[] = WL("FaxCoverSheet\\CoverSheetSet");
constexpr const WCHAR kSetNameValue[] = WL("CoverSheetSet");
constexpr const WCHAR kCoverSizeValue[] = WL("CoverSize");
constexpr const WCHAR kBasicValue[] = WL("Basic");
constexpr const WCHAR kRecipientValue[] = WL("Recipient");
constexpr const WCHAR kSenderValue[] = WL("Sender");
constexpr const WCHAR kImageValue[] = WL("Image");
constexpr const WCHAR kOrderNum[] = WL("OrderNum");
const model::NumberedNames kSetNames{WL("Name%02u"), 0};
const model::NumberedNames kSetBasics{WL("Basic%02u"), 0};
const model::NumberedNames kSetSenders{WL("Sender%02u"), 0};
const model::NumberedNames kSetImages{WL("Image%02u"), 0};

// Bytes of the record's name as it is read from the store.
constexpr size_t kSetNameBytes = sizeof(CoverSheetRecord::setName);

template <size_t N>
bool Ends(const WCHAR (&field)[N]) {
    return WLenBounded(field, N) < N;
}

// A part copied from stored bytes when they are exactly its size and sound.
template <typename Part>
bool TakePart(const std::optional<std::vector<BYTE>>& bytes, bool (*sound)(const Part&), Part* out) {
    if (!bytes || bytes->size() != sizeof(Part)) return false;
    Part part;
    std::memcpy(&part, bytes->data(), sizeof part);
    if (!sound(part)) return false;
    *out = part;
    return true;
}

template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

std::optional<std::vector<BYTE>> ReadValue(const model::ValueStore& store, const WCHAR* name) {
    std::vector<BYTE> data;
    if (store.ReadAll(name, &data) != ERROR_SUCCESS) return std::nullopt;
    return data;
}

DWORD WriteText(const model::ValueStore& store, const WCHAR* name, const WString& text, bool withEnd) {
    DWORD bytes = static_cast<DWORD>((text.size() + (withEnd ? 1 : 0)) * sizeof(WCHAR));
    return store.Write(name, REG_SZ, text.c_str(), bytes);
}

}  // namespace

// ---- Defaults and checks ------------------------------------------------------

CoverBasic DefaultBasic() {
    CoverBasic b;
    std::memset(&b, 0, sizeof b);
    b.subjectOn = 1;
    b.pageCount = 1;
    return b;
}

CoverRecipient DefaultRecipient() {
    CoverRecipient r;
    std::memset(&r, 0, sizeof r);
    return r;
}

CoverSender DefaultSender() {
    CoverSender s;
    std::memset(&s, 0, sizeof s);
    return s;
}

CoverImage DefaultImage() {
    CoverImage i;
    std::memset(&i, 0, sizeof i);
    i.zoom = 100;
    i.x = kMinPosition;
    i.y = kMinPosition;
    return i;
}

CoverSheetRecord DefaultCoverSheet() {
    CoverSheetRecord r;
    std::memset(&r, 0, sizeof r);
    r.basic = DefaultBasic();
    r.recipient = DefaultRecipient();
    r.sender = DefaultSender();
    r.image = DefaultImage();
    return r;
}

bool IsSoundBasic(const CoverBasic& p) {
    return p.style < kStyleCount && p.dateMode <= 1 && p.dateForm < kDateFormCount && Ends(p.subject) &&
           Ends(p.typedDate) && Ends(p.comment);
}

bool IsSoundRecipient(const CoverRecipient& p) {
    return p.mode <= 1 && p.source < kRecipientSourceCount && Ends(p.title) && Ends(p.company) &&
           Ends(p.department) && Ends(p.name) && Ends(p.fax);
}

bool IsSoundSender(const CoverSender& p) {
    for (const CoverSenderItem& item : p.items) {
        if (!Ends(item.text)) return false;
    }
    return true;
}

bool IsSoundImage(const CoverImage& p) {
    return Ends(p.file);
}

// ---- Stored values ----------------------------------------------------------

CoverSheetRecord CoverSheetFromStored(const StoredCoverSheet& stored) {
    CoverSheetRecord r = DefaultCoverSheet();
    if (stored.setName) {
        // The first 42 bytes, as a read into the field would give them; the
        // name must end inside them.
        WCHAR name[21] = {};
        std::memcpy(name, stored.setName->data(), std::min(stored.setName->size() & ~size_t(1), kSetNameBytes));
        if (Ends(name)) std::memcpy(r.setName, name, sizeof name);
    }
    if (stored.coverSize && stored.coverSize->size() == 4) {
        uint32_t size = GetLE32(stored.coverSize->data());
        if (size <= 0xFFFF) r.coverSize = static_cast<uint16_t>(size);
    }
    TakePart(stored.basic, IsSoundBasic, &r.basic);
    TakePart(stored.recipient, IsSoundRecipient, &r.recipient);
    TakePart(stored.sender, IsSoundSender, &r.sender);
    TakePart(stored.image, IsSoundImage, &r.image);
    return r;
}

std::optional<CoverSheetSet> SetFromStored(const std::vector<BYTE>& name, const std::vector<BYTE>& basic,
                                           const std::vector<BYTE>& sender, const std::vector<BYTE>& image) {
    CoverSheetSet set;
    std::memset(&set, 0, sizeof set);
    // The name is stored without its end; one that the store kept with it is
    // taken too.  Odd sizes, NULs inside and names too long are refused.
    size_t units = name.size() / sizeof(WCHAR);
    if (name.size() % sizeof(WCHAR) != 0) return std::nullopt;
    if (units > 0 && GetLE16(&name[(units - 1) * 2]) == 0) --units;
    if (units > kSetNameChars) return std::nullopt;
    for (size_t i = 0; i < units; ++i) {
        WCHAR c = static_cast<WCHAR>(GetLE16(&name[i * 2]));
        if (c == 0) return std::nullopt;
        set.name[i] = c;
    }
    if (!TakePart(std::optional(basic), IsSoundBasic, &set.basic) ||
        !TakePart(std::optional(sender), IsSoundSender, &set.sender) ||
        !TakePart(std::optional(image), IsSoundImage, &set.image)) {
        return std::nullopt;
    }
    return set;
}

// ---- Sets in memory -------------------------------------------------------------

bool SetMatches(const CoverSheetSet& set, const CoverSheetRecord& record) {
    return SameBytes(set.basic, record.basic) && SameBytes(set.sender, record.sender) &&
           SameBytes(set.image, record.image);
}

int MatchingSet(const std::vector<CoverSheetSet>& sets, const CoverSheetRecord& record) {
    for (size_t i = 0; i < sets.size(); ++i) {
        if (SetMatches(sets[i], record)) return static_cast<int>(i);
    }
    return -1;
}

int FindSet(const std::vector<CoverSheetSet>& sets, WStringView name) {
    for (size_t i = 0; i < sets.size(); ++i) {
        if (FieldText(sets[i].name) == name) return static_cast<int>(i);
    }
    return -1;
}

SaveSetResult AppendSet(std::vector<CoverSheetSet>* sets, WStringView name, const CoverSheetRecord& record) {
    if (name.empty()) return SaveSetResult::EmptyName;
    if (name.size() > kSetNameChars || name.find(WCHAR(0)) != WStringView::npos) return SaveSetResult::NameTooLong;
    if (FindSet(*sets, name) >= 0) return SaveSetResult::NameTaken;
    if (sets->size() >= kMaxSets) return SaveSetResult::Full;
    CoverSheetSet set;
    std::memset(&set, 0, sizeof set);
    SetField(set.name, name);
    set.basic = record.basic;
    set.sender = record.sender;
    set.image = record.image;
    sets->push_back(set);
    return SaveSetResult::Saved;
}

void ApplySet(const CoverSheetSet& set, CoverSheetRecord* record) {
    std::memcpy(record->setName, set.name, sizeof set.name);
    record->basic = set.basic;
    record->sender = set.sender;
    record->image = set.image;
}

SaveSetResult RenameSet(std::vector<CoverSheetSet>* sets, size_t index, WStringView name) {
    if (index >= sets->size()) return SaveSetResult::EmptyName;
    if (name.empty()) return SaveSetResult::EmptyName;
    if (name.size() > kSetNameChars || name.find(WCHAR(0)) != WStringView::npos) return SaveSetResult::NameTooLong;
    int same = FindSet(*sets, name);
    if (same >= 0 && static_cast<size_t>(same) != index) return SaveSetResult::NameTaken;
    SetField((*sets)[index].name, name);
    return SaveSetResult::Saved;
}

bool MoveSet(std::vector<CoverSheetSet>* sets, size_t from, size_t to) {
    if (from >= sets->size() || to >= sets->size()) return false;
    CoverSheetSet moved = (*sets)[from];
    sets->erase(sets->begin() + static_cast<std::ptrdiff_t>(from));
    sets->insert(sets->begin() + static_cast<std::ptrdiff_t>(to), moved);
    return true;
}

// ---- The tabs' checks -----------------------------------------------------------

bool ParsePageCount(WStringView text, uint16_t* count) {
    if (text.empty() || text.size() > 4) return false;
    uint32_t value = 0;
    for (WCHAR c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value < kMinPageCount || value > kMaxPageCount) return false;
    *count = static_cast<uint16_t>(value);
    return true;
}

bool DetailsHoldText(const CoverRecipient& r) {
    return r.company[0] || r.department[0] || r.name[0] || r.fax[0];
}

void FillDetails(CoverRecipient* r, const RecipientDetails& d) {
    SetField(r->company, d.company);
    SetField(r->department, d.department);
    SetField(r->name, d.name);
    SetField(r->fax, d.fax);
}

bool KeepStandardTitle(CoverRecipient* r, WStringView firstTitle) {
    if (r->title[0]) return true;
    SetField(r->title, firstTitle);
    return false;
}

// ---- The store ------------------------------------------------------------------

bool ReadCoverSheet(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, CoverSheetRecord* record) {
    model::RegKey key;
    LSTATUS status = model::OpenUserKeyByNames(maker, driver, printer, &key, kCoverKey);
    if (status == ERROR_FILE_NOT_FOUND) {
        *record = DefaultCoverSheet();
        return true;
    }
    if (status != ERROR_SUCCESS) return false;
    model::ValueStore store = model::ValueStore::OfKey(key.get());
    StoredCoverSheet stored;
    stored.setName = ReadValue(store, kSetNameValue);
    stored.coverSize = ReadValue(store, kCoverSizeValue);
    stored.basic = ReadValue(store, kBasicValue);
    stored.recipient = ReadValue(store, kRecipientValue);
    stored.sender = ReadValue(store, kSenderValue);
    stored.image = ReadValue(store, kImageValue);
    *record = CoverSheetFromStored(stored);
    return true;
}

DWORD WriteCoverSheet(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, const CoverSheetRecord& record) {
    model::RegKey key;
    LSTATUS status = model::CreateUserKeyByNames(maker, driver, printer, &key, kCoverKey);
    if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    model::ValueStore store = model::ValueStore::OfKey(key.get());
    DWORD error = WriteText(store, kSetNameValue, FieldText(record.setName), true);
    if (error == ERROR_SUCCESS) error = store.WriteDword(kCoverSizeValue, record.coverSize);
    if (error == ERROR_SUCCESS) error = store.Write(kBasicValue, REG_BINARY, &record.basic, sizeof record.basic);
    if (error == ERROR_SUCCESS) {
        error = store.Write(kRecipientValue, REG_BINARY, &record.recipient, sizeof record.recipient);
    }
    if (error == ERROR_SUCCESS) error = store.Write(kSenderValue, REG_BINARY, &record.sender, sizeof record.sender);
    if (error == ERROR_SUCCESS) error = store.Write(kImageValue, REG_BINARY, &record.image, sizeof record.image);
    return error;
}

std::vector<CoverSheetSet> ReadSets(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer) {
    std::vector<CoverSheetSet> sets;
    model::RegKey key;
    if (model::OpenUserKeyByNames(maker, driver, printer, &key, kSetsKey) != ERROR_SUCCESS) return sets;
    model::ValueStore store = model::ValueStore::OfKey(key.get());
    uint32_t count = 0;
    if (!model::ReadCount(store, kOrderNum, &count)) return sets;
    if (count > kMaxSets) count = kMaxSets;
    for (uint32_t i = 0; i < count; ++i) {
        std::vector<BYTE> name, basic, sender, image;
        if (store.ReadAll(kSetNames.Name(i).c_str(), &name) != ERROR_SUCCESS ||
            store.ReadAll(kSetBasics.Name(i).c_str(), &basic) != ERROR_SUCCESS ||
            store.ReadAll(kSetSenders.Name(i).c_str(), &sender) != ERROR_SUCCESS ||
            store.ReadAll(kSetImages.Name(i).c_str(), &image) != ERROR_SUCCESS) {
            continue;
        }
        if (auto set = SetFromStored(name, basic, sender, image)) sets.push_back(*set);
    }
    return sets;
}

SetsWrite WriteSets(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer,
                    const std::vector<CoverSheetSet>& sets) {
    SetsWrite result;
    model::RegKey key;
    LSTATUS status = model::CreateUserKeyByNames(maker, driver, printer, &key, kSetsKey);
    if (status != ERROR_SUCCESS) {
        result.error = static_cast<DWORD>(status);
        return result;
    }
    model::ValueStore store = model::ValueStore::OfKey(key.get());
    uint32_t oldCount = 0;
    model::ReadCount(store, kOrderNum, &oldCount);
    if (oldCount > kMaxSets) oldCount = kMaxSets;
    for (uint32_t i = 0; i < oldCount; ++i) {
        for (const model::NumberedNames* names : {&kSetNames, &kSetBasics, &kSetSenders, &kSetImages}) {
            store.Remove(names->Name(i).c_str());
        }
    }
    for (const CoverSheetSet& set : sets) {
        uint32_t i = result.written;
        DWORD error = WriteText(store, kSetNames.Name(i).c_str(), FieldText(set.name), false);
        if (error == ERROR_SUCCESS) {
            error = store.Write(kSetBasics.Name(i).c_str(), REG_BINARY, &set.basic, sizeof set.basic);
        }
        if (error == ERROR_SUCCESS) {
            error = store.Write(kSetSenders.Name(i).c_str(), REG_BINARY, &set.sender, sizeof set.sender);
        }
        if (error == ERROR_SUCCESS) {
            error = store.Write(kSetImages.Name(i).c_str(), REG_BINARY, &set.image, sizeof set.image);
        }
        if (error != ERROR_SUCCESS) {
            result.error = error;
            break;
        }
        ++result.written;
    }
    DWORD countError = store.WriteDword(kOrderNum, result.written);
    if (result.ok()) result.error = countError;
    return result;
}

// ---- Texts --------------------------------------------------------------------

std::vector<WString> CommentLines(const CoverBasic& basic) {
    std::vector<WString> lines;
    WString text = FieldText(basic.comment);
    size_t start = 0;
    while (true) {
        size_t end = text.find(WL("\r\n"), start);
        if (end == WString::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// ---- The image file -------------------------------------------------------------

ImageCheck CheckImageFile(const WCHAR* path) {
    if (!path || !*path) return ImageCheck::NoFile;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return ImageCheck::NoFile;
    LARGE_INTEGER size{};
    BYTE header[54] = {};
    DWORD got = 0;
    bool read = GetFileSizeEx(file, &size) && ReadFile(file, header, sizeof header, &got, nullptr);
    CloseHandle(file);
    if (!read) return ImageCheck::NoFile;
    // File header (14 bytes) and at least the 40-byte info header.
    if (got < sizeof header || header[0] != 'B' || header[1] != 'M') return ImageCheck::NotImage;
    uint32_t dataOffset = GetLE32(header + 10);
    uint32_t infoSize = GetLE32(header + 14);
    int32_t width = static_cast<int32_t>(GetLE32(header + 18));
    int32_t height = static_cast<int32_t>(GetLE32(header + 22));
    uint16_t planes = GetLE16(header + 26);
    uint16_t bits = GetLE16(header + 28);
    bool knownInfo = infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    bool knownBits = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!knownInfo || planes != 1 || !knownBits || width <= 0 || height == 0 || height == INT32_MIN ||
        dataOffset < 14u + infoSize || static_cast<int64_t>(dataOffset) >= size.QuadPart) {
        return ImageCheck::NotImage;
    }
    return ImageCheck::Ok;
}

int ClampImageRanges(CoverImage* image) {
    int first = 0;
    if (image->zoomOn && (image->zoom < kMinZoom || image->zoom > kMaxZoom)) {
        image->zoom = image->zoom < kMinZoom ? kMinZoom : kMaxZoom;
        first = 1;
    }
    if (image->x < kMinPosition || image->x > kMaxPosition) {
        image->x = image->x < kMinPosition ? kMinPosition : kMaxPosition;
        if (!first) first = 2;
    }
    if (image->y < kMinPosition || image->y > kMaxPosition) {
        image->y = image->y < kMinPosition ? kMinPosition : kMaxPosition;
        if (!first) first = 3;
    }
    return first;
}

}  // namespace nvx::fax
