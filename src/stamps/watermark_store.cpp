// Watermark records, the built-in watermarks and the three stores.
#include "stamps/watermark_store.h"

#include <algorithm>
#include <cstring>

#include "model/loaded_model.h"
#include "settings/oemdev.h"

namespace nvx::stamps {

namespace {

template <size_t N>
bool Terminated(const char (&text)[N]) {
    return std::memchr(text, 0, N) != nullptr;
}
bool TextTerminated(const void* field, size_t bytes) {
    return FieldText(field, bytes).size() < bytes / sizeof(WCHAR);
}

template <size_t N>
void PutKey(char (&field)[N], const char* key) {
    std::memset(field, 0, sizeof field);
    if (key) std::strncpy(field, key, N - 1);
}

WStringView View(const WCHAR* text, size_t cap) {
    return WStringView(text, WLenBounded(text, cap));
}

bool SameWatermark(const WatermarkRecord& a, const WatermarkRecord& b) {
    const bool aKey = a.szKey[0] != 0;
    const bool bKey = b.szKey[0] != 0;
    if (aKey && bKey) return std::strncmp(a.szKey, b.szKey, sizeof a.szKey) == 0;
    if (aKey || bKey) return false;
    return FieldText(a.szWmkTitle, sizeof a.szWmkTitle) == FieldText(b.szWmkTitle, sizeof b.szWmkTitle);
}

// The built-in table; it ends at the first row without a title.
struct Builtin {
    const char* key;
    const WCHAR* title;
    const WCHAR* text;
    int16_t style;
    uint16_t size;
    int16_t angle;
    int32_t x, y;
    uint16_t frame;
};
const Builtin kBuiltins[] = {
    {"WM_001", WL("CONFIDENTIAL"), WL("Confidential"), 1, 200, 0, 0, 0, 2},
    {"WM_002", WL("TOP SECRET"), WL("Top Secret"), 3, 48, 0, 28, -36, 3},
    {"WM_003", WL("COPY"), WL("Copy"), 3, 48, 0, 28, -36, 3},
    {"WM_004", WL("DO NOT COPY"), WL("Do Not Copy"), 3, 48, -45, 50, -50, 3},
    {"WM_005", WL("DRAFT"), WL("Draft"), 1, 114, 45, 0, 0, 1},
    {"WM_006", WL("FINAL"), WL("Final"), 1, 88, 45, 0, 0, 1},
    {"", WL(""), WL(""), 0, 0, 0, 0, 0, 0},
};

// A count value as the stores keep it: exactly 4 bytes, REG_DWORD or REG_BINARY.
bool ReadCountValue(const ValueSource& source, uint32_t* count) {
    BYTE data[4] = {};
    DWORD type = 0, size = 0;
    if (source.Query(kWatermarkCountValue, &type, data, sizeof data, &size) != ERROR_SUCCESS) return false;
    if (size != 4 || (type != REG_DWORD && type != REG_BINARY)) return false;
    std::memcpy(count, data, 4);
    return true;
}

}  // namespace

// ---- Records ------------------------------------------------------------------------

bool DecodeWatermark(const BYTE* data, size_t size, WatermarkRecord* out) {
    if (!data || size != kWatermarkRecordBytes || !out) return false;
    WatermarkRecord r;
    std::memcpy(&r, data, sizeof r);
    if (!Terminated(r.szKey) || !TextTerminated(r.szWmkTitle, sizeof r.szWmkTitle) ||
        !TextTerminated(r.szWmkStr, sizeof r.szWmkStr) || !TextTerminated(r.szFontName, sizeof r.szFontName))
        return false;
    *out = r;
    return true;
}

std::span<const BYTE, kWatermarkRecordBytes> EncodeWatermark(const WatermarkRecord& record) {
    return std::span<const BYTE, kWatermarkRecordBytes>(reinterpret_cast<const BYTE*>(&record), sizeof record);
}

bool DecodeOrderRecord(const BYTE* data, size_t size, WatermarkOrderRecord* out) {
    if (!data || size != kOrderRecordBytes || !out) return false;
    WatermarkOrderRecord r;
    std::memcpy(&r, data, sizeof r);
    if (!Terminated(r.szKey) || !TextTerminated(r.szName, sizeof r.szName)) return false;
    *out = r;
    return true;
}

std::span<const BYTE, kOrderRecordBytes> EncodeOrderRecord(const WatermarkOrderRecord& record) {
    return std::span<const BYTE, kOrderRecordBytes>(reinterpret_cast<const BYTE*>(&record), sizeof record);
}

void SetWatermarkTexts(WatermarkRecord* record, const char* key, WStringView title, WStringView text,
                       WStringView face) {
    PutKey(record->szKey, key);
    PutFieldText(record->szWmkTitle, sizeof record->szWmkTitle, title);
    PutFieldText(record->szWmkStr, sizeof record->szWmkStr, text);
    PutFieldText(record->szFontName, sizeof record->szFontName, face);
}

// Fields may lie at odd addresses (see FieldText): the text is made in an aligned
// copy and moved in whole.
void PutFieldText(void* field, size_t bytes, WStringView text) {
    const size_t chars = bytes / sizeof(WCHAR);
    if (chars == 0) return;
    WString aligned(chars, 0);
    WCopy(aligned.data(), chars, text);
    std::memcpy(field, aligned.data(), chars * sizeof(WCHAR));
}

// ---- Built-ins and fonts ----------------------------------------------------------------

WString DefaultWatermarkFace() {
    const WCHAR* latin = model::Loaded().tables.settings.fonts.latin;
    if (latin[0]) return WString(View(latin, 32));
    return WString(WL("Arial"));
}

std::vector<WatermarkRecord> BuiltinWatermarks(WStringView face) {
    std::vector<WatermarkRecord> out;
    for (const Builtin& b : kBuiltins) {
        if (!b.title[0]) break;
        WatermarkRecord r{};
        SetWatermarkTexts(&r, b.key, b.title, b.text, face);
        r.nStyle = b.style;
        r.wSize = b.size;
        r.crColor = 255;
        r.nAngle = b.angle;
        r.ptWmkPosX = b.x;
        r.ptWmkPosY = b.y;
        r.wFrame = b.frame;
        r.bBkGrnd = 1;
        out.push_back(r);
    }
    return out;
}

bool DisplayHasFace(const WCHAR* face) {
    if (!face || !face[0]) return false;
    LOGFONTW lf{};
    WCopy(lf.lfFaceName, LF_FACESIZE, face);
    lf.lfCharSet = DEFAULT_CHARSET;
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return false;
    bool same = false;
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, font);
        WCHAR realised[LF_FACESIZE] = {};
        if (GetTextFaceW(dc, LF_FACESIZE, realised) > 0) same = WEqualNoCase(realised, View(face, LF_FACESIZE));
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    DeleteObject(font);
    return same;
}

bool CheckWatermarkFont(WatermarkRecord* record, FaceCheck check, WStringView defaultFace) {
    if (!check) return false;
    WCHAR face[32];
    std::memcpy(face, record->szFontName, sizeof face);
    face[31] = 0;
    if (check(face)) return false;
    PutFieldText(record->szFontName, sizeof record->szFontName, defaultFace);
    return true;
}

// ---- Display order --------------------------------------------------------------------

WatermarkOrderRecord MakeOrderRecord(const WatermarkRecord& record, bool shared) {
    WatermarkOrderRecord o{};
    std::memcpy(o.szKey, record.szKey, sizeof o.szKey);
    o.szKey[sizeof o.szKey - 1] = 0;
    o.bPublic = shared ? 1 : 0;
    PutFieldText(o.szName, sizeof o.szName, FieldText(record.szWmkTitle, sizeof record.szWmkTitle));
    return o;
}

bool OrderMatches(const WatermarkOrderRecord& order, const WatermarkRecord& record) {
    const bool orderKey = order.szKey[0] != 0;
    const bool recordKey = record.szKey[0] != 0;
    if (orderKey && recordKey) return std::strncmp(order.szKey, record.szKey, sizeof order.szKey) == 0;
    if (orderKey || recordKey) return false;
    return FieldText(order.szName, sizeof order.szName) == FieldText(record.szWmkTitle, sizeof record.szWmkTitle);
}

namespace {

// Whether an entry names a watermark of its kind; marks every watermark it names.
bool Accept(const WatermarkOrderRecord& entry, std::span<const WatermarkRecord> shared,
            std::span<const WatermarkRecord> personal, std::vector<bool>* sharedSeen,
            std::vector<bool>* personalSeen) {
    std::span<const WatermarkRecord> list = entry.bPublic ? shared : personal;
    std::vector<bool>& seen = entry.bPublic ? *sharedSeen : *personalSeen;
    bool any = false;
    for (size_t i = 0; i < list.size(); ++i) {
        if (OrderMatches(entry, list[i])) {
            seen[i] = true;
            any = true;
        }
    }
    return any;
}

}  // namespace

std::vector<WatermarkOrderRecord> CompleteOrder(std::span<const WatermarkOrderRecord> stored,
                                                std::span<const WatermarkRecord> shared,
                                                std::span<const WatermarkRecord> personal) {
    std::vector<bool> sharedSeen(shared.size()), personalSeen(personal.size());
    const size_t total = shared.size() + personal.size();
    std::vector<WatermarkOrderRecord> out;
    for (const WatermarkOrderRecord& entry : stored) {
        if (out.size() >= total) break;
        if (Accept(entry, shared, personal, &sharedSeen, &personalSeen)) out.push_back(entry);
    }
    if (out.size() < total) {
        for (size_t i = 0; i < shared.size(); ++i)
            if (!sharedSeen[i]) out.push_back(MakeOrderRecord(shared[i], true));
        for (size_t i = 0; i < personal.size(); ++i)
            if (!personalSeen[i]) out.push_back(MakeOrderRecord(personal[i], false));
    }
    if (out.size() > kMaxOrderEntries) out.resize(kMaxOrderEntries);
    return out;
}

std::vector<ListedWatermark> DisplayList(const WatermarkSet& set) {
    std::vector<bool> sharedUsed(set.shared.size()), personalUsed(set.personal.size());
    std::vector<ListedWatermark> out;
    for (const WatermarkOrderRecord& entry : set.order) {
        const bool shared = entry.bPublic != 0;
        const std::vector<WatermarkRecord>& list = shared ? set.shared : set.personal;
        std::vector<bool>& used = shared ? sharedUsed : personalUsed;
        size_t first = list.size(), fresh = list.size();
        for (size_t i = 0; i < list.size(); ++i) {
            if (!OrderMatches(entry, list[i])) continue;
            if (first == list.size()) first = i;
            if (!used[i]) {
                fresh = i;
                break;
            }
        }
        const size_t pick = fresh < list.size() ? fresh : first;
        if (pick == list.size()) continue;
        used[pick] = true;
        out.push_back({shared, static_cast<uint32_t>(pick), &list[pick]});
    }
    return out;
}

// ---- Editing ------------------------------------------------------------------------------

EditResult AddWatermark(WatermarkSet* set, const WatermarkRecord& record, bool shared) {
    if (!record.szWmkTitle[0]) return EditResult::EmptyTitle;
    std::vector<WatermarkRecord>& list = shared ? set->shared : set->personal;
    const size_t cap = shared ? kMaxSharedWatermarks : kMaxPrivateWatermarks;
    if (list.size() >= cap || set->order.size() >= kMaxOrderEntries) return EditResult::Full;
    WatermarkRecord r = record;
    std::memset(r.szKey, 0, sizeof r.szKey);
    const WString title = FieldText(r.szWmkTitle, sizeof r.szWmkTitle);
    for (const WatermarkRecord& other : list)
        if (FieldText(other.szWmkTitle, sizeof other.szWmkTitle) == title) return EditResult::DuplicateTitle;
    list.push_back(r);
    set->order.push_back(MakeOrderRecord(r, shared));
    return EditResult::Done;
}

EditResult RemoveWatermark(WatermarkSet* set, size_t position) {
    std::vector<ListedWatermark> listed = DisplayList(*set);
    if (position >= listed.size()) return EditResult::NoSuchEntry;
    const ListedWatermark gone = listed[position];
    // The order without that watermark: the entries of the remaining ones.
    std::vector<WatermarkOrderRecord> order;
    for (size_t i = 0; i < listed.size(); ++i)
        if (i != position) order.push_back(MakeOrderRecord(*listed[i].record, listed[i].shared));
    std::vector<WatermarkRecord>& list = gone.shared ? set->shared : set->personal;
    list.erase(list.begin() + gone.index);
    set->order = CompleteOrder(order, set->shared, set->personal);
    return EditResult::Done;
}

EditResult MoveWatermark(WatermarkSet* set, size_t from, size_t to) {
    std::vector<ListedWatermark> listed = DisplayList(*set);
    if (from >= listed.size() || to >= listed.size()) return EditResult::NoSuchEntry;
    const ListedWatermark moving = listed[from];
    listed.erase(listed.begin() + static_cast<ptrdiff_t>(from));
    listed.insert(listed.begin() + static_cast<ptrdiff_t>(to), moving);
    std::vector<WatermarkOrderRecord> order;
    for (const ListedWatermark& l : listed) order.push_back(MakeOrderRecord(*l.record, l.shared));
    set->order = CompleteOrder(order, set->shared, set->personal);
    return EditResult::Done;
}

// ---- Stored lists ----------------------------------------------------------------------------

bool ReadWatermarkList(const ValueSource& source, size_t capacity, FaceCheck check, WStringView defaultFace,
                       std::vector<WatermarkRecord>* out) {
    out->clear();
    uint32_t count = 0;
    if (!ReadCountValue(source, &count)) return true;  // no list yet
    if (count > kCountLimit) return false;
    std::vector<WatermarkRecord> records;
    for (uint32_t i = 0; i < count; ++i) {
        WString name = kWatermarkNames.Name(i);
        BYTE data[kWatermarkRecordBytes];
        DWORD type = 0, size = 0;
        WatermarkRecord r;
        if (name.empty() || source.Query(name.c_str(), &type, data, sizeof data, &size) != ERROR_SUCCESS ||
            !DecodeWatermark(data, size, &r))
            return false;
        if (records.size() < capacity) records.push_back(r);
    }
    for (WatermarkRecord& r : records) CheckWatermarkFont(&r, check, defaultFace);
    *out = std::move(records);
    return true;
}

std::vector<WatermarkOrderRecord> ReadWatermarkOrder(const ValueSource& source,
                                                     std::span<const WatermarkRecord> shared,
                                                     std::span<const WatermarkRecord> personal) {
    std::vector<bool> sharedSeen(shared.size()), personalSeen(personal.size());
    const size_t total = shared.size() + personal.size();
    std::vector<WatermarkOrderRecord> accepted;
    for (uint32_t i = 0; i < kOrderScanLimit && accepted.size() < total; ++i) {
        WString name = kOrderNames.Name(i);
        BYTE data[kOrderRecordBytes];
        DWORD type = 0, size = 0;
        WatermarkOrderRecord entry;
        if (name.empty() || source.Query(name.c_str(), &type, data, sizeof data, &size) != ERROR_SUCCESS ||
            !DecodeOrderRecord(data, size, &entry))
            break;
        if (Accept(entry, shared, personal, &sharedSeen, &personalSeen)) accepted.push_back(entry);
    }
    return CompleteOrder(accepted, shared, personal);
}

model::ListWrite WriteWatermarkList(const model::ValueStore& store, std::span<const WatermarkRecord> records) {
    std::vector<model::ValueBytes> values;
    for (const WatermarkRecord& r : records) values.push_back({&r, static_cast<DWORD>(sizeof r)});
    return model::WriteList(store, kWatermarkCountValue, kWatermarkNames, REG_BINARY, values);
}

model::ListWrite WriteWatermarkOrder(const model::ValueStore& store, std::span<const WatermarkOrderRecord> order) {
    std::vector<model::ValueBytes> values;
    for (const WatermarkOrderRecord& o : order) values.push_back({&o, static_cast<DWORD>(sizeof o)});
    return model::WriteList(store, nullptr, kOrderNames, REG_BINARY, values);
}

// ---- A printer's lists --------------------------------------------------------------------------

WatermarkSet LoadWatermarks(HANDLE printer, FaceCheck check) {
    WatermarkSet set;
    const WString face = DefaultWatermarkFace();
    ReadWatermarkList(StoreSource(model::ValueStore::OfPrinter(printer)), kMaxSharedWatermarks, check, face,
                      &set.shared);
    model::RegKey key;
    if (model::OpenUserKey(printer, &key) == ERROR_SUCCESS)
        ReadWatermarkList(StoreSource(model::ValueStore::OfKey(key.get())), kMaxPrivateWatermarks, check, face,
                          &set.personal);
    model::RegKey orderKey;
    if (model::OpenUserKey(printer, &orderKey, kOrderSubkey) == ERROR_SUCCESS)
        set.order = ReadWatermarkOrder(StoreSource(model::ValueStore::OfKey(orderKey.get())), set.shared,
                                       set.personal);
    else
        set.order = CompleteOrder({}, set.shared, set.personal);
    return set;
}

DWORD SavePrivateWatermarks(HANDLE printer, const WatermarkSet& set) {
    model::RegKey key;
    LSTATUS rc = model::CreateUserKey(printer, &key);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    model::ListWrite w = WriteWatermarkList(model::ValueStore::OfKey(key.get()), set.personal);
    if (!w.ok()) return w.error;
    model::RegKey orderKey;
    rc = model::CreateUserKey(printer, &orderKey, kOrderSubkey);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    return WriteWatermarkOrder(model::ValueStore::OfKey(orderKey.get()), set.order).error;
}

DWORD SaveSharedWatermarks(const WCHAR* printerName, std::span<const WatermarkRecord> shared) {
    model::PrinterHandle admin;
    if (!printerName || !printerName[0]) return ERROR_INVALID_PARAMETER;
    if (!admin.Open(printerName, PRINTER_ACCESS_ADMINISTER)) {
        DWORD error = GetLastError();
        return error ? error : ERROR_ACCESS_DENIED;
    }
    return WriteWatermarkList(model::ValueStore::OfPrinter(admin.get()), shared).error;
}

WString PrinterNameOf(HANDLE printer) {
    std::vector<BYTE> info(512);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        if (GetPrinterW(printer, 1, info.data(), static_cast<DWORD>(info.size()), &needed)) {
            const auto* p = reinterpret_cast<const PRINTER_INFO_1W*>(info.data());
            return p->pName ? WString(p->pName) : WString();
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= info.size()) break;
        info.assign(needed, 0);
    }
    return WString();
}

DWORD RegisterDefaultWatermarks(HANDLE printer) {
    const std::vector<WatermarkRecord> builtins = BuiltinWatermarks(DefaultWatermarkFace());
    const model::ValueStore store = model::ValueStore::OfPrinter(printer);
    uint32_t count = 0;
    if (ReadCountValue(StoreSource(store), &count) && count >= builtins.size()) return ERROR_SUCCESS;
    return WriteWatermarkList(store, builtins).error;
}

// ---- The settings record ------------------------------------------------------------------------

WatermarkRecord RecordWatermark(const OEMDEV& record) {
    WatermarkRecord r;
    std::memcpy(&r, record.bytes + kRecordWatermarkOffset, sizeof r);
    return r;
}

namespace {

void PutRecordWatermark(OEMDEV& record, const WatermarkRecord& r) {
    std::memcpy(record.bytes + kRecordWatermarkOffset, &r, sizeof r);
}

}  // namespace

bool ChooseWatermark(OEMDEV& record, const WatermarkSet& set, size_t position) {
    std::vector<ListedWatermark> listed = DisplayList(set);
    if (position >= listed.size()) return false;
    settings::SetNumber(record, "wWmkListPos", static_cast<int64_t>(position));
    PutRecordWatermark(record, *listed[position].record);
    return true;
}

bool FollowChosenWatermark(OEMDEV& record, const WatermarkSet& set) {
    std::vector<ListedWatermark> listed = DisplayList(set);
    const WatermarkRecord chosen = RecordWatermark(record);
    const int32_t position = settings::GetNumber(record, "wWmkListPos");
    if (position >= 0 && static_cast<size_t>(position) < listed.size() &&
        SameWatermark(*listed[static_cast<size_t>(position)].record, chosen))
        return false;
    for (size_t i = 0; i < listed.size(); ++i) {
        if (SameWatermark(*listed[i].record, chosen)) {
            settings::SetNumber(record, "wWmkListPos", static_cast<int64_t>(i));
            return true;
        }
    }
    const OEMDEV before = record;
    settings::SetNumber(record, "wWmkListPos", 0);
    if (!listed.empty()) PutRecordWatermark(record, *listed[0].record);
    return std::memcmp(before.bytes, record.bytes, sizeof before.bytes) != 0;
}

bool FixListPositions(OEMDEV& record, size_t formCount, size_t sharedCount, size_t privateCount) {
    if (formCount == 0) {
        settings::SetNumber(record, "bOverlay", 0);
        settings::SetNumber(record, "nFormListPos", -1);
        if (settings::GetNumber(record, "nOverlay_Switch_op") == 2)
            settings::SetNumber(record, "nOverlay_Switch_op", 0);
    } else {
        const int32_t form = settings::GetNumber(record, "nFormListPos");
        if (form < 0 || static_cast<size_t>(form) >= formCount) settings::SetNumber(record, "nFormListPos", 0);
    }
    const int32_t position = settings::GetNumber(record, "wWmkListPos");  // u16: never negative
    if (static_cast<size_t>(position) < sharedCount + privateCount) return false;
    settings::SetNumber(record, "wWmkListPos", 0);
    return true;
}

}  // namespace nvx::stamps
