#include "presets/preset_store.h"

#include <algorithm>
#include <cstring>

#include "features/paper_logic.h"
#include "settings/oemdev_defaults.h"

namespace nvx::presets {

namespace {

WString HeaderText(const WCHAR* field, size_t capacity) {
    WString out(capacity, 0);
    std::memcpy(out.data(), field, capacity * sizeof(WCHAR));
    out.resize(WLenBounded(out.data(), capacity));
    return out;
}

// A 4-byte count (REG_DWORD or REG_BINARY of exactly 4 bytes).
bool ReadCountValue(const PresetValues& values, const WCHAR* name, uint32_t* count) {
    BYTE data[4];
    DWORD type = 0, size = 0;
    if (values.Query(name, &type, data, sizeof data, &size) != ERROR_SUCCESS || size != 4) return false;
    if (type != REG_DWORD && type != REG_BINARY) return false;
    std::memcpy(count, data, 4);
    return true;
}

DWORD WriteCountValue(PresetValues& values, const WCHAR* name, uint32_t count) {
    return values.Write(name, REG_DWORD, &count, sizeof count);
}

// Reads the chunks a count names.  requireAll: false unless every counted chunk
// reads (a pending store is all or nothing); otherwise the chunks up to the first
// missing or oversized one.
bool ReadChunks(const PresetValues& values, const WCHAR* countName, const model::NumberedNames& names,
                bool requireAll, std::vector<BYTE>* bytes) {
    bytes->clear();
    uint32_t count = 0;
    if (!ReadCountValue(values, countName, &count)) return false;
    if (requireAll && count > kMaxPresetChunks) return false;
    const uint32_t n = std::min(count, kMaxPresetChunks);
    std::vector<BYTE> chunk(kPresetChunkBytes);
    for (uint32_t i = 0; i < n; ++i) {
        const WString name = names.Name(i);
        DWORD size = 0, type = 0;
        if (name.empty() || values.Query(name.c_str(), &type, chunk.data(), kPresetChunkBytes, &size) != ERROR_SUCCESS ||
            size > kPresetChunkBytes) {
            if (requireAll) {
                bytes->clear();
                return false;
            }
            break;
        }
        bytes->insert(bytes->end(), chunk.begin(), chunk.begin() + size);
    }
    return true;
}

DWORD WriteChunks(PresetValues& values, const model::NumberedNames& names, const std::vector<BYTE>& bytes,
                  uint32_t* written) {
    *written = 0;
    for (size_t at = 0; at < bytes.size(); at += kPresetChunkBytes) {
        const WString name = names.Name(*written);
        if (name.empty()) return ERROR_INVALID_NAME;
        const DWORD size = static_cast<DWORD>(std::min<size_t>(kPresetChunkBytes, bytes.size() - at));
        if (DWORD rc = values.Write(name.c_str(), REG_BINARY, bytes.data() + at, size); rc != ERROR_SUCCESS) return rc;
        ++*written;
    }
    return ERROR_SUCCESS;
}

uint32_t ChunkCount(size_t bytes) {
    return static_cast<uint32_t>((bytes + kPresetChunkBytes - 1) / kPresetChunkBytes);
}

// Removes the numbered values from position `from` on, the highest first, so that a
// removal that stops leaves an unbroken run behind `from` for the next write to
// find.  The run ends at `upTo` or, beyond it, at the first value that is missing.
void RemoveFrom(PresetValues& values, const model::NumberedNames& names, uint32_t from, uint32_t upTo) {
    uint32_t top = std::min<uint32_t>(std::max(upTo, from), kMaxPresetChunks);
    for (;; ++top) {  // values behind the run a count named
        const WString name = names.Name(top);
        BYTE probe[1];
        DWORD size = 0;
        if (top >= kMaxPresetChunks || name.empty() ||
            values.Query(name.c_str(), nullptr, probe, 0, &size) == ERROR_FILE_NOT_FOUND)
            break;
    }
    for (uint32_t i = top; i > from; --i) {
        const WString name = names.Name(i - 1);
        if (name.empty()) continue;
        const DWORD rc = values.Remove(name.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return;
    }
}

bool HeaderOptionsSet(const EasySetHeader& h, size_t option) {
    return h.contentOptions[option] != 0;
}

}  // namespace

// ---- Entries and lists ----

WString EasySetEntry::Name() const {
    return HeaderText(header.name, 32);
}
WString EasySetEntry::Comment() const {
    return HeaderText(header.comment, 256);
}
PresetKind EasySetEntry::Kind() const {
    if (isDefault) return kKindDefault;
    return scope == kSharedScope ? kKindShared : kKindPersonal;
}

bool IsValidHeader(const EasySetHeader& header) {
    return header.magic == kEasySetMagic && header.formatVersion == kEasySetFormatVersion;
}

void TerminateHeaderTexts(EasySetHeader& h) {
    h.name[31] = 0;
    h.comment[255] = 0;
    h.model[36] = 0;
    h.version[15] = 0;
    h.system[31] = 0;
    h.language[7] = 0;
}

size_t EasySetList::CountScope(uint32_t scope) const {
    return static_cast<size_t>(
        std::count_if(entries.begin(), entries.end(), [&](const EasySetEntry& e) { return e.scope == scope; }));
}

int EasySetList::Find(WStringView name, uint32_t scope) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].scope == scope && entries[i].Name() == name) return static_cast<int>(i);
    return -1;
}

bool EasySetList::Add(EasySetEntry entry) {
    if (!IsValidHeader(entry.header)) return false;
    entry.header.dataLength = static_cast<uint32_t>(entry.text.size());
    entries.push_back(std::move(entry));
    return true;
}

// ---- Memory values ----

bool MemoryValues::Refuse() {
    ++changes;
    if (!failFrom) return false;
    return failOnly ? changes == failFrom : changes >= failFrom;
}

DWORD MemoryValues::Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const {
    auto it = values.find(name);
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    if (type) *type = it->second.type;
    const DWORD n = static_cast<DWORD>(it->second.bytes.size());
    if (size) *size = n;
    if (n > capacity) return ERROR_MORE_DATA;
    if (n) std::memcpy(data, it->second.bytes.data(), n);
    return ERROR_SUCCESS;
}

DWORD MemoryValues::Write(const WCHAR* name, DWORD type, const void* data, DWORD size) {
    if (Refuse()) return ERROR_WRITE_FAULT;
    const BYTE* p = static_cast<const BYTE*>(data);
    values[name] = Value{type, std::vector<BYTE>(p, p + size)};
    return ERROR_SUCCESS;
}

DWORD MemoryValues::Remove(const WCHAR* name) {
    if (Refuse()) return ERROR_WRITE_FAULT;
    return values.erase(name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// ---- Chunked stores ----

bool ReadPresetBytes(const PresetValues& values, std::vector<BYTE>* bytes) {
    if (ReadChunks(values, kPendingCountValue, kPendingChunkNames, true, bytes)) return true;
    return ReadChunks(values, kPresetCountValue, kPresetChunkNames, false, bytes);
}

void ParsePresetRecords(const BYTE* data, size_t size, uint32_t scope, std::vector<EasySetEntry>* out) {
    size_t at = 0;
    while (data && size - at >= sizeof(EasySetHeader)) {
        EasySetEntry e;
        std::memcpy(&e.header, data + at, sizeof e.header);
        if (!IsValidHeader(e.header)) break;
        const size_t length = e.header.dataLength;
        if (length > size - at - sizeof(EasySetHeader)) break;  // runs past the stored bytes
        TerminateHeaderTexts(e.header);
        const BYTE* text = data + at + sizeof(EasySetHeader);
        e.text.assign(text, text + length);
        e.scope = scope;
        out->push_back(std::move(e));
        at += sizeof(EasySetHeader) + length;
    }
}

std::vector<BYTE> PresetRecordBytes(const EasySetList& list, uint32_t scope) {
    std::vector<BYTE> bytes;
    for (const EasySetEntry& e : list.entries) {
        if (e.isDefault || e.scope != scope) continue;
        EasySetHeader h = e.header;
        h.dataLength = static_cast<uint32_t>(e.text.size());
        const BYTE* p = reinterpret_cast<const BYTE*>(&h);
        bytes.insert(bytes.end(), p, p + sizeof h);
        bytes.insert(bytes.end(), e.text.begin(), e.text.end());
    }
    return bytes;
}

DWORD WritePresetBytes(PresetValues& values, const std::vector<BYTE>& bytes) {
    if (ChunkCount(bytes.size()) > kMaxPresetChunks) return ERROR_FILE_TOO_LARGE;
    // 1. An earlier write that stopped after its pending store was counted: finish it,
    //    so that the pending chunks may be written over.
    std::vector<BYTE> pending;
    uint32_t written = 0;
    if (ReadChunks(values, kPendingCountValue, kPendingChunkNames, true, &pending)) {
        if (DWORD rc = WriteChunks(values, kPresetChunkNames, pending, &written); rc != ERROR_SUCCESS) return rc;
        if (DWORD rc = WriteCountValue(values, kPresetCountValue, written); rc != ERROR_SUCCESS) return rc;
        if (DWORD rc = values.Remove(kPendingCountValue); rc != ERROR_SUCCESS) return rc;
    } else {
        DWORD type = 0, size = 0;
        BYTE probe[4];
        if (values.Query(kPendingCountValue, &type, probe, sizeof probe, &size) != ERROR_FILE_NOT_FOUND) {
            if (DWORD rc = values.Remove(kPendingCountValue); rc != ERROR_SUCCESS) return rc;
        }
    }
    uint32_t oldCount = 0;
    ReadCountValue(values, kPresetCountValue, &oldCount);

    // 2. The new store beside the old one, counted last.
    if (DWORD rc = WriteChunks(values, kPendingChunkNames, bytes, &written); rc != ERROR_SUCCESS) return rc;
    const uint32_t count = written;
    if (DWORD rc = WriteCountValue(values, kPendingCountValue, count); rc != ERROR_SUCCESS) return rc;

    // From here on the store reads as the new bytes; what fails below is finished by
    // the next write.
    SetLastError(ERROR_SUCCESS);
    // 3. The store itself.
    if (WriteChunks(values, kPresetChunkNames, bytes, &written) != ERROR_SUCCESS) return ERROR_SUCCESS;
    if (WriteCountValue(values, kPresetCountValue, count) != ERROR_SUCCESS) return ERROR_SUCCESS;
    // 4. Tidying: the pending count, the stale chunks, the pending chunks.
    if (values.Remove(kPendingCountValue) != ERROR_SUCCESS) return ERROR_SUCCESS;
    RemoveFrom(values, kPresetChunkNames, count, oldCount);
    RemoveFrom(values, kPendingChunkNames, 0, count);
    SetLastError(ERROR_SUCCESS);
    return ERROR_SUCCESS;
}

bool ReadPresetStore(const PresetValues& values, uint32_t scope, std::vector<EasySetEntry>* out) {
    std::vector<BYTE> bytes;
    if (!ReadPresetBytes(values, &bytes)) return false;
    ParsePresetRecords(bytes.data(), bytes.size(), scope, out);
    return true;
}

DWORD WritePresetStore(PresetValues& values, const EasySetList& list, uint32_t scope) {
    return WritePresetBytes(values, PresetRecordBytes(list, scope));
}

// ---- The display order ----

std::vector<OrderEntry> ReadPresetOrder(const PresetValues& values) {
    std::vector<OrderEntry> order;
    uint32_t count = 0;
    if (!ReadCountValue(values, kOrderCountValue, &count)) return order;
    const uint32_t n = std::min(count, kMaxOrderValues);
    for (uint32_t i = 0; i < n && order.size() < kMaxListEntries; ++i) {
        WCHAR text[96] = {};  // a 192-byte buffer
        DWORD type = 0, size = 0;
        const WString name = kOrderNames.Name(i);
        if (values.Query(name.c_str(), &type, text, sizeof text, &size) != ERROR_SUCCESS) continue;
        const size_t chars = WLenBounded(text, std::min<size_t>(size / sizeof(WCHAR), 96));
        const WStringView s(text, chars);
        const size_t comma = s.find(u',');
        if (comma == WStringView::npos) continue;
        // The scope: the decimal number before the comma (at most 259 characters).
        uint32_t scope = 0;
        const WStringView number = s.substr(0, std::min<size_t>(comma, 259));
        size_t k = 0;
        while (k < number.size() && (number[k] == u' ' || number[k] == u'\t')) ++k;
        if (k < number.size() && (number[k] == u'+' || number[k] == u'-')) ++k;
        for (; k < number.size() && number[k] >= u'0' && number[k] <= u'9'; ++k)
            if (number[k] != u'0') scope = 1;
        WStringView rest = s.substr(comma + 1);
        order.push_back(OrderEntry{WString(rest.substr(0, std::min(rest.size(), kMaxNameChars))), scope});
    }
    return order;
}

DWORD WritePresetOrder(PresetValues& values, const EasySetList& list) {
    uint32_t n = 0;
    for (const EasySetEntry& e : list.entries) {
        if (n >= kMaxOrderValues) break;
        WCHAR text[96];
        const WString name = e.Name();
        WFormat(text, 96, WL("%d,%s"), static_cast<int>(e.scope ? 1 : 0), name.c_str());
        const WString valueName = kOrderNames.Name(n);
        const DWORD size = static_cast<DWORD>((WLen(text) + 1) * sizeof(WCHAR));
        if (DWORD rc = values.Write(valueName.c_str(), REG_SZ, text, size); rc != ERROR_SUCCESS) return rc;
        ++n;
    }
    for (uint32_t i = n;; ++i) {
        const WString name = kOrderNames.Name(i);
        if (name.empty() || values.Remove(name.c_str()) != ERROR_SUCCESS) break;
    }
    if (DWORD rc = WriteCountValue(values, kOrderCountValue, n); rc != ERROR_SUCCESS) return rc;
    SetLastError(ERROR_SUCCESS);
    return ERROR_SUCCESS;
}

void ApplyOrder(EasySetList& list, const std::vector<OrderEntry>& order) {
    const size_t n = list.entries.size();
    std::vector<bool> taken(n, false);
    std::vector<size_t> sequence;
    for (const OrderEntry& o : order) {
        for (size_t i = 0; i < n; ++i) {
            if (taken[i] || list.entries[i].scope != o.scope || list.entries[i].Name() != o.name) continue;
            taken[i] = true;
            sequence.push_back(i);
            break;
        }
    }
    for (size_t i = 0; i < n; ++i)
        if (!taken[i]) sequence.push_back(i);
    std::vector<EasySetEntry> reordered;
    reordered.reserve(n);
    int current = -1, remembered = -1;
    for (size_t k = 0; k < sequence.size(); ++k) {
        if (static_cast<int>(sequence[k]) == list.current) current = static_cast<int>(k);
        if (static_cast<int>(sequence[k]) == list.remembered) remembered = static_cast<int>(k);
        reordered.push_back(std::move(list.entries[sequence[k]]));
    }
    list.entries = std::move(reordered);
    list.current = current;
    list.remembered = remembered;
}

// ---- Making entries ----

EasySetHeader MakeHeader(const PresetEnvironment& env, WStringView name, WStringView comment, uint16_t builtIn,
                         uint16_t iconEnabled, uint16_t iconNumber) {
    EasySetHeader h{};
    h.magic = kEasySetMagic;
    h.formatVersion = kEasySetFormatVersion;
    WCopy(h.name, 32, name);
    WCopy(h.comment, 256, comment);
    WCopy(h.model, 37, env.driverName);
    WCopy(h.version, 16, kEasySetVersionString);
    WCopy(h.system, 32, kEasySetSystem);
    WCopy(h.language, 8, env.language);
    std::memcpy(h.contentOptions, env.options.data(), sizeof h.contentOptions);
    h.builtIn = builtIn;
    h.iconEnabled = iconEnabled;
    h.iconNumber = iconNumber;
    return h;
}

bool MakeEntry(const PresetEnvironment& env, const OEMDEV& record, const EasySetHeader& header, uint32_t scope,
               EasySetEntry* out) {
    SettingsDoc doc;
    EasySetHeader h = header;
    OEMDEV copy = record;
    WatermarkLists lists = env.lists;
    if (!BuildPresetText(doc, h, copy, lists, env.rules)) return false;
    EasySetEntry e;
    e.scope = scope;
    e.header = h;
    e.text = ToUtf16Bytes(RenderSettingsText(doc));
    e.header.dataLength = static_cast<uint32_t>(e.text.size());
    *out = std::move(e);
    return true;
}

bool EntryFromText(SettingsDoc doc, const EasySetHeader& header, uint32_t scope, EasySetEntry* out) {
    EasySetHeader h = header;
    if (!ExchangeHeader(Direction::Write, doc, h)) return false;
    EasySetEntry e;
    e.scope = scope;
    e.header = header;
    e.text = ToUtf16Bytes(RenderSettingsText(doc));
    e.header.dataLength = static_cast<uint32_t>(e.text.size());
    *out = std::move(e);
    return true;
}

SettingsDoc EntryDocument(const EasySetEntry& entry) {
    return ParseUtf16Bytes(entry.text.data(), entry.text.size());
}

bool RewriteEntryHeader(EasySetEntry& entry, const EasySetHeader& header) {
    EasySetEntry rewritten;
    if (!EntryFromText(EntryDocument(entry), header, entry.scope, &rewritten)) return false;
    rewritten.isDefault = entry.isDefault;
    entry = std::move(rewritten);
    return true;
}

// ---- Applying ----

PresetKind RecordPresetKind(const OEMDEV& record) {
    const int32_t kind = settings::GetNumber(record, "byEasySetKind");
    return kind >= 0 && kind <= 3 ? static_cast<PresetKind>(kind) : kKindNone;
}

WString RecordPresetName(const OEMDEV& record) {
    return settings::GetText(record, settings::FindField("szEasySetName"));
}

void SetRecordPreset(OEMDEV& record, PresetKind kind, WStringView name) {
    settings::SetNumber(record, "byEasySetKind", kind);
    settings::SetText(record, settings::FindField("szEasySetName"), name);
}

bool ApplyEntry(const EasySetEntry& entry, OEMDEV& record, const ApplyContext& ctx) {
    if (!ctx.env) return false;
    SettingsDoc readable = EntryDocument(entry);
    RecordExchangeRules rules = ctx.env->rules;
    std::memcpy(rules.options.data(), entry.header.contentOptions, rules.options.size());
    bool ok = ExchangeRecord(Direction::Read, readable, record, rules);
    if (ctx.lists) {
        ContentOptions listOptions = rules.options;
        if (!ctx.canAdminister) listOptions[kIncludeSharedWatermarks] = 0;
        ok &= ExchangeWatermarkList(Direction::Read, true, readable, ctx.lists->shared, listOptions);
        ok &= ExchangeWatermarkList(Direction::Read, false, readable, ctx.lists->personal, listOptions);
        ok &= ExchangeWatermarkOrder(Direction::Read, readable, ctx.lists->order, listOptions);
    }
    if (ctx.env->monochrome) settings::ApplyMonochrome(record);
    if (entry.isDefault) {
        SetRecordPreset(record, kKindDefault, kDefaultEntryName);
        if (ctx.startSettings) {
            for (const char* field : {"nOutputMethod", "bUserAuth", "bAccountTrack"})
                settings::SetNumber(record, field, settings::GetNumber(*ctx.startSettings, field));
        }
    } else {
        SetRecordPreset(record, entry.Kind(), entry.Name());
    }
    if (!HeaderOptionsSet(entry.header, kIncludePaper) && settings::GetNumber(record, "bScaleAuto") != 0)
        settings::SetNumber(record, "nScale", features::AutomaticZoom(record));
    return ok;
}

namespace {

// Whether applying the entry to the record changes nothing but the selection.
bool EntryMatches(const EasySetEntry& entry, const OEMDEV& record, const ApplyContext& ctx) {
    OEMDEV expected = record;
    if (entry.isDefault)
        SetRecordPreset(expected, kKindDefault, kDefaultEntryName);
    else
        SetRecordPreset(expected, entry.Kind(), entry.Name());
    OEMDEV applied = expected;
    ApplyContext probe = ctx;
    probe.lists = nullptr;  // the sheet's lists are not the record
    if (entry.isDefault && !probe.startSettings) probe.startSettings = &record;
    ApplyEntry(entry, applied, probe);
    return std::memcmp(applied.bytes, expected.bytes, sizeof applied.bytes) == 0;
}

}  // namespace

int FindMatchingEntry(const EasySetList& list, const OEMDEV& record, const ApplyContext& ctx) {
    const PresetKind kind = RecordPresetKind(record);
    int index = -1;
    if (kind == kKindDefault) {
        for (size_t i = 0; i < list.entries.size() && index < 0; ++i)
            if (list.entries[i].isDefault) index = static_cast<int>(i);
    } else if (kind == kKindShared || kind == kKindPersonal) {
        const uint32_t scope = kind == kKindShared ? kSharedScope : kPersonalScope;
        const WString name = RecordPresetName(record);
        for (size_t i = 0; i < list.entries.size() && index < 0; ++i)
            if (!list.entries[i].isDefault && list.entries[i].scope == scope && list.entries[i].Name() == name)
                index = static_cast<int>(i);
    }
    if (index < 0 || !EntryMatches(list.entries[index], record, ctx)) return -1;
    return index;
}

void Select(EasySetList& list, int index) {
    list.current = index >= 0 && static_cast<size_t>(index) < list.entries.size() ? index : -1;
    if (list.current >= 0) list.remembered = list.current;
}

void FollowSettings(EasySetList& list, OEMDEV& record, const ApplyContext& ctx) {
    int candidate = list.current >= 0 ? list.current : list.remembered;
    if (candidate < 0) candidate = FindMatchingEntry(list, record, ctx);
    if (candidate >= 0 && static_cast<size_t>(candidate) < list.entries.size() &&
        EntryMatches(list.entries[candidate], record, ctx)) {
        Select(list, candidate);
        const EasySetEntry& e = list.entries[candidate];
        SetRecordPreset(record, e.Kind(), e.isDefault ? WString(kDefaultEntryName) : e.Name());
        return;
    }
    list.current = -1;
    SetRecordPreset(record, kKindNone, WString());
}

// ---- Building a sheet's list ----

bool BuildList(const ListSources& sources, const OEMDEV& record, const ApplyContext& ctx, EasySetList* out) {
    *out = EasySetList{};
    if (!ctx.env) return false;
    const PresetEnvironment& env = *ctx.env;
    EasySetHeader header = MakeHeader(env, kDefaultEntryName, WString(), 1, 0, 0);
    EasySetEntry def;
    bool made = false;
    if (sources.defaultText && !sources.defaultText->empty()) {
        SettingsDoc doc = ParseUtf16Bytes(sources.defaultText->data(), sources.defaultText->size());
        made = EntryFromText(std::move(doc), header, kSharedScope, &def);
    }
    if (!made && sources.defaults) made = MakeEntry(env, *sources.defaults, header, kSharedScope, &def);
    if (!made) return false;
    def.isDefault = 1;
    out->Add(std::move(def));

    // Stored lists are outside data: each scope is kept within its limit.
    std::vector<EasySetEntry> read;
    if (sources.shared) ReadPresetStore(*sources.shared, kSharedScope, &read);
    for (EasySetEntry& e : read)
        if (out->CountScope(kSharedScope) < kMaxSharedEntries) out->Add(std::move(e));
    read.clear();
    if (sources.personal) ReadPresetStore(*sources.personal, kPersonalScope, &read);
    size_t personal = 0;
    for (EasySetEntry& e : read)
        if (personal < kMaxPersonalEntries && out->Count() < kMaxListEntries && out->Add(std::move(e))) ++personal;

    if (sources.personal) ApplyOrder(*out, ReadPresetOrder(*sources.personal));
    Select(*out, FindMatchingEntry(*out, record, ctx));
    return true;
}

bool HasRoomToSave(const EasySetList& list, bool canAdminister) {
    if (canAdminister) return list.Count() < kMaxListEntries;
    return list.CountScope(kPersonalScope) < kMaxPersonalEntries;
}

// ---- The save dialog's rules ----

SharedBox SaveSharedBox(const EasySetList& list, bool canAdminister) {
    if (!canAdminister) return {false, false};
    if (list.CountScope(kSharedScope) >= kMaxSharedEntries) return {false, false};
    if (list.CountScope(kPersonalScope) >= kMaxPersonalEntries) return {true, false};
    return {true, true};
}

NameCheck CheckNewName(const EasySetList& list, WStringView name, uint32_t scope) {
    if (name.empty()) return NameCheck::Empty;
    return list.Find(name, scope) >= 0 ? NameCheck::Duplicate : NameCheck::Ok;
}

// ---- The edit dialog's rules ----

bool EditSession::CanEdit(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= list.entries.size()) return false;
    const EasySetEntry& e = list.entries[index];
    if (e.isDefault || e.header.builtIn) return false;
    return e.scope == kPersonalScope || canAdminister;
}

bool EditSession::CanDelete(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= list.entries.size()) return false;
    const EasySetEntry& e = list.entries[index];
    if (e.isDefault) return false;
    return e.scope == kPersonalScope || canAdminister;
}

int EditSession::Remaining() const {
    int room = static_cast<int>(kMaxPersonalEntries) - static_cast<int>(list.CountScope(kPersonalScope));
    if (canAdminister) room += static_cast<int>(kMaxSharedEntries) - static_cast<int>(list.CountScope(kSharedScope));
    return room < 0 ? 0 : room;
}

int EditSession::Move(int index, bool up) {
    const int n = static_cast<int>(list.entries.size());
    if (index < 0 || index >= n) return -1;
    const int to = up ? index - 1 : index + 1;
    if (to < 0 || to >= n) return -1;
    std::swap(list.entries[index], list.entries[to]);
    for (int* mark : {&list.current, &list.remembered}) {
        if (*mark == index)
            *mark = to;
        else if (*mark == to)
            *mark = index;
    }
    return to;
}

int EditSession::Delete(int index) {
    if (!CanDelete(index)) return index;
    list.entries.erase(list.entries.begin() + index);
    for (int* mark : {&list.current, &list.remembered}) {
        if (*mark == index)
            *mark = -1;
        else if (*mark > index)
            --*mark;
    }
    const int n = static_cast<int>(list.entries.size());
    return n == 0 ? -1 : std::min(index, n - 1);
}

NameCheck EditSession::Commit(int index, WStringView name, WStringView comment, uint32_t scope) {
    if (!CanEdit(index)) return NameCheck::Ok;
    if (name.empty()) return NameCheck::Empty;
    EasySetEntry& e = list.entries[index];
    if (scope != e.scope) {
        const bool allowed = scope == kSharedScope
                                 ? canAdminister && list.CountScope(kSharedScope) < kMaxSharedEntries
                                 : list.CountScope(kPersonalScope) < kMaxPersonalEntries;
        if (!allowed) scope = e.scope;
    }
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (static_cast<int>(i) != index && list.entries[i].scope == scope && list.entries[i].Name() == name)
            return NameCheck::Duplicate;
    if (e.Name() == name && e.Comment() == comment && e.scope == scope) return NameCheck::Ok;
    EasySetHeader h = e.header;
    std::memset(h.name, 0, sizeof h.name);
    std::memset(h.comment, 0, sizeof h.comment);
    WCopy(h.name, 32, name);
    WCopy(h.comment, 256, comment);
    e.scope = scope;
    RewriteEntryHeader(e, h);
    return NameCheck::Ok;
}

}  // namespace nvx::presets
