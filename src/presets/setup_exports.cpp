// Settings transfer for setup programs: SPRINST_SettingExport, SPRINST_SettingImport,
// SPRINST_DefaultSetting, SPRINST_PersonalInfoImport and SPRINST_FixSetting
// (docs/setup-transfer.md).  Each takes the printer's name and a file name in the
// system code page and answers an error code whose message SPRINST_GetErrorMsg gives.
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/ansi.h"
#include "device/printer_cipher.h"
#include "device/user_settings.h"
#include "features/custom_paper.h"
#include "features/list_builders.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "frame/exports.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/model_tables.h"
#include "model/stores.h"
#include "presets/custom_tab_file.h"
#include "presets/printer_presets.h"
#include "presets/setup_transfer.h"
#include "settings/devoption.h"
#include "settings/oemdev_defaults.h"
#include "stamps/watermark_store.h"
#include "settings/oemdev.h"

namespace {

using namespace nvx;
using namespace nvx::presets;

// An open printer that closes itself; admin tells whether it was opened with full access.
struct SetupPrinter {
    HANDLE handle = nullptr;
    bool admin = false;
    WString name;
    ~SetupPrinter() {
        if (handle) ClosePrinter(handle);
    }
};

// Opens with full access; unless full access is required, falls back to the
// default access (without administrator rights).
uint32_t OpenSetupPrinter(const char* printerName, bool requireAdmin, SetupPrinter* p) {
    if (!printerName || !*printerName) return kSetupCannotOpenPrinter;
    p->name = WFromAnsi(printerName);
    PRINTER_DEFAULTSW all{};
    all.DesiredAccess = PRINTER_ALL_ACCESS;
    if (OpenPrinterW(p->name.data(), &p->handle, &all)) {
        p->admin = true;
        return kSetupOk;
    }
    p->handle = nullptr;
    if (requireAdmin || !OpenPrinterW(p->name.data(), &p->handle, nullptr)) {
        p->handle = nullptr;
        return kSetupCannotOpenPrinter;
    }
    return kSetupOk;
}

// The calling user's default document settings (the user's own, else the
// printer's); when they hold no settings record (a printer the driver never
// wrote), the driver's default settings are put behind their public part, as the
// driver answers a device mode of its own.
struct DocSettings {
    std::vector<BYTE> devmode;
    OEMDEV* record() { return settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(devmode.data())); }
};

uint32_t ReadDocSettings(const SetupPrinter& p, DocSettings* doc) {
    const LONG size = DocumentPropertiesW(nullptr, p.handle, const_cast<LPWSTR>(p.name.c_str()), nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW) - 64)) return kSetupNoDocumentSettings;
    doc->devmode.assign(static_cast<size_t>(size), 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(doc->devmode.data());
    if (DocumentPropertiesW(nullptr, p.handle, const_cast<LPWSTR>(p.name.c_str()), dm, nullptr, DM_OUT_BUFFER) < 0)
        return kSetupNoDocumentSettings;
    if (doc->record()) return kSetupOk;
    // The public part, then the driver's defaults as its private area.
    if (dm->dmSize < 64 || dm->dmSize > doc->devmode.size()) return kSetupNoDocumentSettings;
    doc->devmode.resize(dm->dmSize);
    doc->devmode.resize(doc->devmode.size() + sizeof(OEMDEV), 0);
    dm = reinterpret_cast<DEVMODEW*>(doc->devmode.data());
    dm->dmDriverExtra = static_cast<WORD>(sizeof(OEMDEV));
    OEMDEV defaults;
    if (!settings::FillDefaultSettings(defaults.bytes, p.handle)) return kSetupNoDocumentSettings;
    std::memcpy(doc->devmode.data() + dm->dmSize, defaults.bytes, sizeof defaults.bytes);
    return doc->record() ? kSetupOk : kSetupNoDocumentSettings;
}

// Stores the document settings as the user's default and, with administrator
// rights, as the printer's.
uint32_t StoreDocSettings(const SetupPrinter& p, DocSettings& doc) {
    PRINTER_INFO_9W user{};
    user.pDevMode = reinterpret_cast<DEVMODEW*>(doc.devmode.data());
    if (!SetPrinterW(p.handle, 9, reinterpret_cast<BYTE*>(&user), 0)) return kSetupCannotStoreDocumentSettings;
    if (p.admin) {
        PRINTER_INFO_8W printer{};
        printer.pDevMode = user.pDevMode;
        if (!SetPrinterW(p.handle, 8, reinterpret_cast<BYTE*>(&printer), 0))
            return kSetupCannotStoreDocumentSettings;
    }
    return kSetupOk;
}

SetupFacts FactsOf(HANDLE printer) {
    const model::LoadedModel& m = model::Loaded();
    PresetEnvironment env = PrinterEnvironment(printer, &m.tables);
    SetupFacts facts;
    facts.driverName = env.driverName;
    facts.language = env.language;
    facts.rules = env.rules;
    facts.rules.options = env.options;
    facts.optionCount = m.tables.deviceOptions ? m.tables.deviceOptions->count : 0;
    facts.otherTab = frame::AskVariant("OTHERTAB_ENABLE") != 0;
    facts.paperCapacity = features::CustomPaperCapacity();
    return facts;
}

template <typename From, typename To>
void CopyRecords(const std::vector<From>& from, std::vector<To>* to) {
    static_assert(sizeof(From) == std::tuple_size<To>::value);
    to->clear();
    for (const From& r : from) {
        to->emplace_back();
        std::memcpy(to->back().data(), &r, sizeof r);
    }
}

template <typename Raw, typename Store>
bool ToStore(const std::vector<Raw>& from, std::vector<Store>* to, bool (*decode)(const BYTE*, size_t, Store*)) {
    to->clear();
    for (const Raw& r : from) {
        Store out;
        if (!decode(r.data(), r.size(), &out)) return false;
        to->push_back(out);
    }
    return true;
}

// The device data texts the printer keeps: the address, the read community and the
// MAC address as REG_SZ, the device-API credentials through the printer's binary
// cipher.  A value missing, of another type or not deciphering is left out.
constexpr const WCHAR* kDeviceTextValues[] = {kDeviceAddressValue, kCommunityValue, kMacAddressValue};

bool ReadData(HANDLE printer, const WCHAR* name, DWORD wantedType, std::vector<BYTE>* out) {
    DWORD type = 0, needed = 0;
    GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, nullptr, 0, &needed);
    if (needed == 0 || needed > 4096) return false;
    out->assign(needed, 0);
    return GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, out->data(), needed, &needed) ==
               ERROR_SUCCESS &&
           type == wantedType;
}

void ReadDeviceData(HANDLE printer, std::map<WString, WString>* data) {
    std::vector<BYTE> bytes;
    for (const WCHAR* name : kDeviceTextValues) {
        if (!ReadData(printer, name, REG_SZ, &bytes)) continue;
        WString text(bytes.size() / sizeof(WCHAR), 0);
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(WCHAR));
        text.resize(WLenBounded(text.c_str(), text.size()));
        (*data)[name] = text;
    }
    std::vector<BYTE> plain;
    if (ReadData(printer, kDriverUserPassValue, REG_BINARY, &bytes) &&
        device::PrinterPasswordCipher(printer).Decipher(bytes, &plain)) {
        (*data)[kDriverUserPassValue] =
            WFromUtf8(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()));
        SecureZeroMemory(plain.data(), plain.size());
    }
}

// What the printer holds now: the record, its device options (the built-in
// defaults when it keeps none), the watermark lists and the two extra values.
void ReadContent(HANDLE printer, const OEMDEV& record, SetupContent* content) {
    content->record = record;
    settings::LoadDefaultDevOption(printer, content->devOption.data());
    const stamps::WatermarkSet set = stamps::LoadWatermarks(printer, nullptr);
    CopyRecords(set.shared, &content->lists.shared);
    CopyRecords(set.personal, &content->lists.personal);
    CopyRecords(set.order, &content->lists.order);
    content->excelJobCtrl = model::ReadExcelJobCtrl(printer, 0);
    content->authUseEngine = model::ReadDefaultSwitch(printer, WL("DefaultAuthUseEngine"), 0);
    ReadDeviceData(printer, &content->deviceData);
    content->customPaper = features::LoadCustomPaperList(printer);
}

// A setup file: missing, a folder, too large, no text or without its header
// sections is code 7; then the header checks (13, 10, 11).
uint32_t LoadSetupFile(const char* file, const SetupFacts& facts, SettingsDoc* doc) {
    if (!file || !*file) return kSetupCannotReadFile;
    const WString path = WFromAnsi(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kSetupCannotReadFile;
    if (LoadSettingsFile(path, doc) != ERROR_SUCCESS) return kSetupCannotReadFile;
    if (!doc->FindSection(WL("DriverInfo"))) return kSetupCannotReadFile;
    return CheckSetupHeader(*doc, facts);
}

DWORD WriteData(HANDLE printer, const WCHAR* name, DWORD type, const void* data, size_t size) {
    return SetPrinterDataW(printer, const_cast<LPWSTR>(name), type, static_cast<BYTE*>(const_cast<void*>(data)),
                           static_cast<DWORD>(size));
}

DWORD WriteDeviceText(HANDLE printer, const WString& name, const WString& text) {
    if (name == kDriverUserPassValue) {
        const std::string utf8 = Utf8FromW(text);
        std::vector<BYTE> stored;
        const bool ciphered = device::PrinterPasswordCipher(printer).Encipher(
            std::span<const BYTE>(reinterpret_cast<const BYTE*>(utf8.data()), utf8.size()), &stored);
        const DWORD rc = ciphered ? WriteData(printer, name.c_str(), REG_BINARY, stored.data(), stored.size())
                                  : static_cast<DWORD>(ERROR_INVALID_DATA);
        SecureZeroMemory(const_cast<char*>(utf8.data()), utf8.size());
        return rc;
    }
    return WriteData(printer, name.c_str(), REG_SZ, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
}

// With administrator rights: the custom paper list (its forms follow) and the
// device data texts the file changed.
uint32_t StoreDeviceSections(HANDLE printer, const SetupContent& before, const SetupContent& after) {
    if (std::memcmp(&before.customPaper, &after.customPaper, sizeof after.customPaper) != 0) {
        const features::CustomPaperModel m = features::CustomPaperModelOf(model::Loaded().tables.record);
        if (!features::SaveCustomPaperList(printer, before.customPaper, after.customPaper, false, m.paperFeedType,
                                        m.maxFeedLength)
                 .stored)
            return kSetupCannotStoreDeviceOptions;
    }
    for (const auto& [name, text] : after.deviceData) {
        const auto old = before.deviceData.find(name);
        if (old != before.deviceData.end() && old->second == text) continue;
        if (WriteDeviceText(printer, name, text) != ERROR_SUCCESS) return kSetupCannotStoreDeviceOptions;
    }
    return kSetupOk;
}

uint32_t Export(const char* printerName, const char* file) {
    SetupPrinter p;
    if (uint32_t rc = OpenSetupPrinter(printerName, false, &p)) return rc;
    DocSettings doc;
    if (uint32_t rc = ReadDocSettings(p, &doc)) return rc;
    SetupContent content;
    ReadContent(p.handle, *doc.record(), &content);
    SettingsDoc text;
    if (!BuildSetupText(text, FactsOf(p.handle), content)) return kSetupCannotWriteFile;
    // The device-API credentials go into the file only for a user who may administer
    // the printer; for anyone else the key is left out (an import then keeps the
    // target's own), never written empty.
    if (!p.admin) {
        for (SettingsSection& section : text.sections)
            if (section.name == WL("AcquistionSetting"))
                std::erase_if(section.lines, [](const SettingsLine& l) { return l.key == WL("OpenAPIDrvUserPass"); });
    }
    auto credentials = content.deviceData.find(kDriverUserPassValue);
    if (credentials != content.deviceData.end())
        SecureZeroMemory(credentials->second.data(), credentials->second.size() * sizeof(WCHAR));
    if (!file || !*file) return kSetupCannotWriteFile;
    if (SaveSettingsFile(WFromAnsi(file), text) != ERROR_SUCCESS) return kSetupCannotWriteFile;
    return AppendCustomTabSetup(WFromAnsi(file), p.name, content.devOption.data()) ? kSetupOk : kSetupCannotWriteFile;
}

uint32_t Import(const char* printerName, const char* file) {
    SetupPrinter p;
    if (uint32_t rc = OpenSetupPrinter(printerName, false, &p)) return rc;
    DocSettings doc;
    if (uint32_t rc = ReadDocSettings(p, &doc)) return rc;
    SetupContent content;
    ReadContent(p.handle, *doc.record(), &content);
    const SetupContent before = content;
    const SetupFacts facts = FactsOf(p.handle);
    SettingsDoc text;
    if (uint32_t rc = LoadSetupFile(file, facts, &text)) return rc;
    if (uint32_t rc = ApplySetupText(text, facts, content)) return rc;

    // The file's watermark records must be ones the store reads back (a text without
    // its end is not): checked with the rest, before anything is stored.
    stamps::WatermarkSet set;
    if (!ToStore(content.lists.shared, &set.shared, stamps::DecodeWatermark) ||
        !ToStore(content.lists.personal, &set.personal, stamps::DecodeWatermark) ||
        !ToStore(content.lists.order, &set.order, stamps::DecodeOrderRecord))
        return kSetupCannotReadFile;
    CustomTabArrangement arrangement;
    const bool customTab = ApplyCustomTabSetup(WFromAnsi(file), p.name, content.devOption.data(), &arrangement);

    // Everything read and checked: from here on the printer changes.
    if (facts.otherTab) {
        model::RegKey key;
        if (model::OpenUserKey(p.handle, &key) == ERROR_SUCCESS)
            model::ValueStore::OfKey(key.get()).WriteDword(WL("ExcelJobCtrl"), content.excelJobCtrl);
        if (p.admin) WriteData(p.handle, WL("DefaultAuthUseEngine"), REG_DWORD, &content.authUseEngine, 4);
    }
    if (p.admin && stamps::SaveSharedWatermarks(p.name.c_str(), set.shared) != ERROR_SUCCESS)
        return kSetupCannotStoreDocumentSettings;
    if (stamps::SavePrivateWatermarks(p.handle, set) != ERROR_SUCCESS) return kSetupCannotStoreDocumentSettings;
    stamps::FollowChosenWatermark(content.record, stamps::LoadWatermarks(p.handle, nullptr));
    *doc.record() = content.record;
    if (p.admin && WriteData(p.handle, WL("DefaultDevOption"), REG_BINARY, content.devOption.data(),
                             content.devOption.size()) != ERROR_SUCCESS)
        return kSetupCannotStoreDeviceOptions;
    if (p.admin)
        if (uint32_t rc = StoreDeviceSections(p.handle, before, content)) return rc;
    const uint32_t rc = StoreDocSettings(p, doc);
    // The user's own view of the settings: a file that cannot be written leaves the
    // arrangement the user had.
    if (rc == kSetupOk && customTab) WriteCustomTabArrangement(CustomTabFilePath(p.name), arrangement);
    return rc;
}

uint32_t DefaultSetting(const char* printerName, const char* file) {
    SetupPrinter p;
    if (uint32_t rc = OpenSetupPrinter(printerName, true, &p)) return rc;
    DocSettings doc;
    if (uint32_t rc = ReadDocSettings(p, &doc)) return rc;
    SetupContent content;
    ReadContent(p.handle, *doc.record(), &content);
    settings::ResetDevOption(content.devOption.data());  // the built-in device option defaults
    const SetupFacts facts = FactsOf(p.handle);
    SettingsDoc text;
    if (uint32_t rc = LoadSetupFile(file, facts, &text)) return rc;
    if (uint32_t rc = ApplySetupText(text, facts, content)) return rc;

    if (facts.otherTab &&
        WriteData(p.handle, WL("DefaultAuthUseEngine"), REG_DWORD, &content.authUseEngine, 4) != ERROR_SUCCESS)
        return kSetupCannotStoreDefault;
    settings::SetNumber(content.record, "byEasySetKind", 0);
    settings::SetText(content.record, settings::FindField("szEasySetName"), WString());
    const std::vector<BYTE> easySet = ToUtf16Bytes(RenderSettingsText(text));
    if (WriteData(p.handle, WL("DefaultOEMDEV"), REG_BINARY, content.record.bytes, sizeof content.record.bytes) !=
            ERROR_SUCCESS ||
        WriteData(p.handle, WL("DefaultDevOption"), REG_BINARY, content.devOption.data(), content.devOption.size()) !=
            ERROR_SUCCESS ||
        WriteData(p.handle, WL("DefaultEasySet"), REG_BINARY, easySet.data(), easySet.size()) != ERROR_SUCCESS)
        return kSetupCannotStoreDefault;
    return kSetupOk;
}

// The personal information beside the user settings: "AuthUseEngine" in the
// user's key, the server's tree/domain and expense code and the expense code's
// password in its "Authentication" key.
bool StorePersonalExtras(HANDLE printer, const PersonalInfoExtras& extras) {
    bool ok = true;
    if (extras.authUseEngine) {
        model::RegKey key;
        ok = model::CreateUserKey(printer, &key) == ERROR_SUCCESS &&
             model::ValueStore::OfKey(key.get()).WriteDword(WL("AuthUseEngine"), *extras.authUseEngine) ==
                 ERROR_SUCCESS;
    }
    if (!extras.treeDomainName && !extras.expenseCode && !extras.expenseCodePassword) return ok;
    model::RegKey key;
    if (model::CreateUserKey(printer, &key, WL("Authentication")) != ERROR_SUCCESS) return false;
    const model::ValueStore store = model::ValueStore::OfKey(key.get());
    auto text = [&store](const WCHAR* name, const WString& value) {
        return store.Write(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR))) ==
               ERROR_SUCCESS;
    };
    if (extras.treeDomainName) ok = text(WL("TreeDomainName"), *extras.treeDomainName) && ok;
    if (extras.expenseCode) ok = text(WL("ExpenseCode"), *extras.expenseCode) && ok;
    if (extras.expenseCodePassword)
        ok = store.Write(WL("ExpenseCodePassword"), REG_BINARY, extras.expenseCodePassword->data(),
                         static_cast<DWORD>(extras.expenseCodePassword->size())) == ERROR_SUCCESS &&
             ok;
    return ok;
}

uint32_t PersonalInfoImport(const char* printerName, const char* file) {
    SetupPrinter p;
    if (uint32_t rc = OpenSetupPrinter(printerName, false, &p)) return rc;
    DocSettings doc;
    if (uint32_t rc = ReadDocSettings(p, &doc)) return rc;
    if (!file || !*file) return kSetupCannotReadFile;
    const WString path = WFromAnsi(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kSetupCannotReadFile;
    std::vector<std::pair<WString, WString>> keys = ReadPersonalInfoKeys(path);
    const bool usrsetType1 = frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    OEMDEV record = *doc.record();
    // The user's stored settings first, so that the file's keys change only themselves.
    device::LoadUserSettings(p.handle, usrsetType1, &record);
    WCHAR logon[257] = {};
    DWORD logonChars = 257;
    if (!GetUserNameW(logon, &logonChars)) logon[0] = 0;
    PersonalInfoExtras extras;
    const uint32_t rc =
        ApplyPersonalInfo(keys, device::PrinterPasswordCipher(p.handle), usrsetType1, record, nullptr, &extras, logon);
    for (auto& [key, value] : keys) SecureZeroMemory(value.data(), value.size() * sizeof(WCHAR));
    if (rc != kSetupOk) return rc;
    *doc.record() = record;
    SecureZeroMemory(record.bytes, sizeof record.bytes);
    if (!device::SaveUserSettings(p.handle, usrsetType1, *doc.record())) return kSetupCannotStoreDocumentSettings;
    if (!StorePersonalExtras(p.handle, extras) ||
        (extras.middleServerChoice && !device::SaveMiddleServerChoice(p.handle, *doc.record())))
        return kSetupCannotStoreDocumentSettings;
    return StoreDocSettings(p, doc);
}

uint32_t FixSetting(const char* printerName, const char* file) {
    SetupPrinter p;
    if (uint32_t rc = OpenSetupPrinter(printerName, true, &p)) return rc;
    DocSettings doc;
    if (uint32_t rc = ReadDocSettings(p, &doc)) return rc;
    std::vector<BYTE> devOption(settings::kDevOptionSize);
    settings::LoadDefaultDevOption(p.handle, devOption.data());
    if (!file || !*file) return kSetupCannotReadFile;
    const WString path = WFromAnsi(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kSetupCannotReadFile;
    std::vector<LockEntry> entries = LockEntriesFromKeys(ReadLockFileKeys(path));

    const model::LoadedModel& m = model::Loaded();
    auto optionValue = [&m](std::string_view feature, std::string_view option, int32_t* value) {
        const features::UiItem* item = nvx::features::ModuleItems() ? nvx::features::ModuleItems()->Row(features::FindUiItem(nvx::features::ModuleItems(), feature)) : nullptr;
        if (!item || !item->options) return false;
        const int index = features::IndexOfKeyword(item->options, option);
        if (index < 0) return false;
        const auto v = features::ValueAt(item->options, static_cast<size_t>(index));
        if (!v) return false;
        *value = *v;
        return true;
    };
    auto optionSlot = [&m](std::string_view name, size_t* slot) {
        const features::DeviceOptionRow* row = m.tables.deviceOptions ? m.tables.deviceOptions->Find(name) : nullptr;
        if (!row || row->index >= settings::devoption::kOptionSlots) return false;
        *slot = row->index;
        return true;
    };
    OEMDEV record = *doc.record();
    ApplyLockEntries(entries, optionValue, optionSlot, record, devOption.data());
    *doc.record() = record;
    if (uint32_t rc = StoreDocSettings(p, doc)) return rc;
    if (WriteData(p.handle, WL("DefaultDevOption"), REG_BINARY, devOption.data(), devOption.size()) != ERROR_SUCCESS)
        return kSetupCannotStoreDeviceOptions;
    const std::vector<BYTE> lock = EncodeLockRecord(entries);
    if (WriteData(p.handle, kLockValueName, REG_BINARY, lock.data(), lock.size()) != ERROR_SUCCESS)
        return kSetupCannotStoreLocks;
    return kSetupOk;
}

}  // namespace

NVX_EXPORT UINT_PTR SPRINST_SettingExport(const char* printerName, const char* file) {
    return Export(printerName, file);
}
NVX_EXPORT UINT_PTR SPRINST_SettingImport(const char* printerName, const char* file) {
    return Import(printerName, file);
}
NVX_EXPORT UINT_PTR SPRINST_PersonalInfoImport(const char* printerName, const char* file) {
    return PersonalInfoImport(printerName, file);
}
NVX_EXPORT UINT_PTR SPRINST_DefaultSetting(const char* printerName, const char* file) {
    return DefaultSetting(printerName, file);
}
NVX_EXPORT void* SPRINST_FixSetting(const char* printerName, const char* file) {
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(FixSetting(printerName, file)));
}
