// The user's overlay form list and the check before printing.
#include "stamps/form_store.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "features/model_record.h"
#include "features/switch_ids.h"
#include "model/loaded_model.h"
#include "settings/oemdev.h"

namespace nvx::stamps {

namespace {

const model::NumberedNames kFormNames{WL("Form%d"), 1};

WCHAR Folded(WCHAR c) {
    if (c == u'/') return u'\\';
    if (c >= u'A' && c <= u'Z') return static_cast<WCHAR>(c - u'A' + u'a');
    return c;
}

// A REG_SZ value read whole and cut at its first NUL; empty when missing or of
// another type.
WString ReadText(const model::ValueStore& store, const WCHAR* name, DWORD maxBytes) {
    std::vector<BYTE> data;
    DWORD type = 0;
    if (store.ReadAll(name, &data, &type) != ERROR_SUCCESS) return WString();
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || data.size() > maxBytes) return WString();
    WString text(data.size() / sizeof(WCHAR), 0);
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(WCHAR));
    text.resize(WLenBounded(text.data(), text.size()));
    return text;
}

DWORD WriteText(const model::ValueStore& store, const WCHAR* name, const WString& text) {
    return store.Write(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

WString JoinPath(const WString& folder, const WCHAR* name) {
    WString path = folder;
    // The folder's own separator: a native path ("/srv/forms") keeps its slashes.
    const WCHAR separator = folder.find(u'\\') == WString::npos && folder.find(u'/') != WString::npos ? u'/' : u'\\';
    if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path += separator;
    return path + name;
}

bool Listed(const FormList& list, const WString& path) {
    for (const FormEntry& e : list.forms)
        if (PathInFolder(e.path, path) && e.path.size() == path.size()) return true;
    return false;
}

// Whether the form at a list position is there and still a form file (read again:
// the file may have gone since the list was read).
bool FormStillThere(const FormList& list, int32_t position) {
    if (position < 0 || static_cast<size_t>(position) >= list.forms.size()) return false;
    const FormEntry& e = list.forms[static_cast<size_t>(position)];
    return !e.path.empty() && IsFormFile(e.path.c_str());
}

}  // namespace

bool PathInFolder(WStringView path, WStringView folder) {
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size()) return false;
    for (size_t i = 0; i < folder.size(); ++i)
        if (Folded(path[i]) != Folded(folder[i])) return false;
    return path.size() == folder.size() || path[folder.size()] == u'\\' || path[folder.size()] == u'/';
}

FormList ReadFormList(const model::ValueStore& userStore, const WString& sharedFolder) {
    FormList list;
    list.sharedFolder = sharedFolder;
    // The shared forms first: every "*.VFO" file of the folder with a valid header.
    if (!sharedFolder.empty()) {
        WIN32_FIND_DATAW found{};
        const WString pattern = JoinPath(sharedFolder, WL("*.VFO"));
        HANDLE find = FindFirstFileW(pattern.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            std::vector<WString> names;
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
            } while (FindNextFileW(find, &found) && names.size() < kMaxFormSlots);
            FindClose(find);
            std::sort(names.begin(), names.end());  // the same order on every system
            for (const WString& name : names) {
                FormEntry e;
                e.path = JoinPath(sharedFolder, name.c_str());
                e.shared = true;
                e.usable = e.path.size() <= kFormPathChars &&
                           ReadFormFileHeader(e.path.c_str(), &e.header) == FormHeaderResult::Ok;
                if (e.usable) list.forms.push_back(std::move(e));
            }
        }
    }
    list.sharedCount = list.forms.size();
    // Then the user's own, from the slot after the shared ones.
    uint32_t shared = 0, count = 0;
    if (!userStore.ReadDword(kSharedFormCountValue, &shared)) shared = 0;
    if (!userStore.ReadDword(kFormCountValue, &count)) count = 0;
    count = std::min(count, kMaxFormSlots);
    for (uint32_t slot = shared; slot < count; ++slot) {
        const WString path = ReadText(userStore, kFormNames.Name(slot).c_str(), kFormPathValueBytes);
        if (path.empty() || path.size() > kFormPathChars) continue;
        if (!sharedFolder.empty() && PathInFolder(path, sharedFolder)) continue;
        if (Listed(list, path)) continue;
        // A form whose file went away keeps its slot (marked unusable), so that the
        // positions of the forms after it, which settings records hold, stay true.
        FormEntry e;
        e.path = path;
        e.usable = ReadFormFileHeader(path.c_str(), &e.header) == FormHeaderResult::Ok;
        list.forms.push_back(std::move(e));
    }
    return list;
}

DWORD WriteFormList(const model::ValueStore& userStore, const FormList& list) {
    uint32_t oldCount = 0;
    if (!userStore.ReadDword(kFormCountValue, &oldCount)) oldCount = 0;
    const uint32_t shared = static_cast<uint32_t>(list.sharedCount);
    if (DWORD rc = userStore.WriteDword(kSharedFormCountValue, shared); rc != ERROR_SUCCESS) return rc;
    uint32_t slot = shared;
    DWORD error = ERROR_SUCCESS;
    for (const FormEntry& e : list.forms) {
        if (e.shared) continue;
        error = WriteText(userStore, kFormNames.Name(slot).c_str(), e.path);
        if (error != ERROR_SUCCESS) break;
        ++slot;
    }
    if (DWORD rc = userStore.WriteDword(kFormCountValue, slot); rc != ERROR_SUCCESS && error == ERROR_SUCCESS)
        error = rc;
    model::DeleteNumbered(userStore, kFormNames, slot, std::min(oldCount, kMaxFormSlots));
    return error;
}

WString SharedFormFolder(HANDLE printer) {
    if (!printer) return WString();
    return ReadText(model::ValueStore::OfPrinter(printer), kSharedFormFolderValue, kFormPathValueBytes);
}

DWORD SetSharedFormFolder(HANDLE printer, const WString& folder) {
    const model::ValueStore store = model::ValueStore::OfPrinter(printer);
    if (folder.empty()) {
        DWORD rc = store.Remove(kSharedFormFolderValue);
        return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    return WriteText(store, kSharedFormFolderValue, folder);
}

bool SharedFolderReachable(const WString& folder) {
    if (folder.empty()) return false;
    const DWORD a = GetFileAttributesW(folder.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

FormList LoadFormList(HANDLE printer) {
    const WString folder = SharedFormFolder(printer);
    model::RegKey key;
    if (model::OpenUserKey(printer, &key) != ERROR_SUCCESS) {
        // No user key yet: the shared forms alone.
        HKEY none = nullptr;
        return ReadFormList(model::ValueStore::OfKey(none), folder);
    }
    return ReadFormList(model::ValueStore::OfKey(key.get()), folder);
}

DWORD SaveFormList(HANDLE printer, const FormList& list) {
    model::RegKey key;
    if (LSTATUS rc = model::CreateUserKey(printer, &key); rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    return WriteFormList(model::ValueStore::OfKey(key.get()), list);
}

FormAdd AddForm(FormList* list, const WString& path) {
    if (path.size() > kFormPathChars) return FormAdd::TooLong;
    if (!list->sharedFolder.empty() && PathInFolder(path, list->sharedFolder)) return FormAdd::InSharedFolder;
    if (Listed(*list, path)) return FormAdd::AlreadyListed;
    FormEntry e;
    e.path = path;
    if (ReadFormFileHeader(path.c_str(), &e.header) != FormHeaderResult::Ok) return FormAdd::NotAForm;
    e.usable = true;
    list->forms.push_back(std::move(e));
    return FormAdd::Done;
}

bool RemoveForm(FormList* list, size_t position) {
    if (position >= list->forms.size() || list->forms[position].shared) return false;
    list->forms.erase(list->forms.begin() + static_cast<std::ptrdiff_t>(position));
    return true;
}

OverlayModel CurrentOverlayModel() {
    OverlayModel m;
    const features::ModelRecord* record = model::Loaded().tables.record;
    if (!record) return m;
    m.kind = record->switches[features::kSw_Overlay];
    m.hostOverlay = record->switches[features::kSw_Overlay_DlgType] != 0;
    return m;
}

bool OverlayPrintingOn(const OEMDEV& record, const OverlayModel& model) {
    if (model.kind == 1) return settings::GetNumber(record, "bOverlay") != 0;
    if (model.kind == 2) return settings::GetNumber(record, "nOverlay_Switch_op") == 2;
    return false;
}

FormCheck CheckChosenForms(const OEMDEV& record, const OverlayModel& model, const FormList& list) {
    if (!OverlayPrintingOn(record, model)) return FormCheck::Go;
    if (!FormStillThere(list, settings::GetNumber(record, "nFormListPos"))) return FormCheck::FormMissing;
    if (model.hostOverlay && settings::GetNumber(record, "bEnable2p") != 0) {
        const int32_t second = settings::GetNumber(record, "nFormListPos2p");
        if (!FormStillThere(list, second)) {
            const bool shared = second >= 0 && static_cast<size_t>(second) < list.sharedCount;
            return shared ? FormCheck::SharedMissing : FormCheck::FormMissing;
        }
    }
    return FormCheck::Go;
}

bool DropMissingForms(OEMDEV& record, const OverlayModel& model, const FormList& list) {
    if (!OverlayPrintingOn(record, model)) return false;
    const bool other = settings::GetNumber(record, "bEnable2p") != 0;
    const bool firstGone = !FormStillThere(list, settings::GetNumber(record, "nFormListPos"));
    const bool secondGone = other && !FormStillThere(list, settings::GetNumber(record, "nFormListPos2p"));
    if (!firstGone && !secondGone) return false;
    settings::SetNumber(record, "bOverlay", 0);
    settings::SetNumber(record, "nFormListPos", -1);
    if (settings::GetNumber(record, "nOverlay_Switch_op") == 2) settings::SetNumber(record, "nOverlay_Switch_op", 0);
    return true;
}

}  // namespace nvx::stamps
