// The form file dialog behind GetFormFileName.
#include "stamps/form_file_dialog.h"

#include <cstring>
#include <vector>

#include "common/text.h"
#include "frame/module_state.h"
#include "model/stores.h"
#include "stamps/form_file.h"
#include "stamps/form_store.h"

namespace nvx::stamps {

namespace {

constexpr UINT kCaptionWarning = 1, kCaptionInfo = 8, kFilter = 108, kOtherFolder = 440, kCannotUse = 525;
// A scripted or confused user cannot keep the dialog coming back for ever.
constexpr int kMaxAttempts = 100;

WString Resource(UINT id) {
    WCHAR text[512] = {};
    if (HINSTANCE r = frame::Module().dialogResources) LoadStringW(r, id, text, 512);
    return text;
}

// The filter of string 108: "name|pattern|name|pattern|", '|' standing for the NULs.
std::vector<WCHAR> Filter() {
    WString text = Resource(kFilter);
    if (text.empty()) text = WL("Overlay Form Files (*.VFO)|*.VFO|");
    std::vector<WCHAR> out(text.begin(), text.end());
    for (WCHAR& c : out)
        if (c == u'|') c = 0;
    out.push_back(0);
    out.push_back(0);
    return out;
}

bool SameFolder(const WString& a, const WString& b) {
    return PathInFolder(a, b) && PathInFolder(b, a);
}

// Whether a file can be made at the path: an existing one opened for writing, a new
// one made and removed again.
bool Creatable(const WString& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a != INVALID_FILE_ATTRIBUTES) {
        if (a & FILE_ATTRIBUTE_DIRECTORY) return false;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    }
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    DeleteFileW(path.c_str());
    return true;
}

// The chosen name's extension (with its dot) is at least four characters, and the
// path with the default extension added stays under 260 characters.
bool NameUsable(const WString& path) {
    const WString name = FileNamePart(path);
    const size_t dot = name.rfind(u'.');
    if (dot == WString::npos || name.size() - dot < 4) return false;
    return path.size() + 4 < 260;
}

int Show(HWND owner, UINT caption, const WString& text, UINT type) {
    return MessageBoxW(owner, text.c_str(), Resource(caption).c_str(), type);
}

}  // namespace

UINT_PTR RunFormFileDialog(FormFileRequest* request, FileDialogFn dialog) {
    if (!request || !dialog) return 0;
    const bool open = request->mode != 0;
    const bool fixed = request->useFixedFolder != 0;
    model::RegKey key;
    const WCHAR* maker = request->maker && request->maker[0] ? request->maker : model::MakerName();
    if (request->printer && request->driver)
        model::CreateUserKeyByNames(maker, request->driver, request->printer, &key);
    const model::ValueStore store = model::ValueStore::OfKey(key.get());

    // The initial folder and name.
    WString folder, name;
    const WString proposed(request->path, WLenBounded(request->path, 260));
    if (!proposed.empty()) {
        folder = FolderPart(proposed);
        name = FileNamePart(proposed);
    } else if (fixed) {
        folder = WString(request->fixedFolder, WLenBounded(request->fixedFolder, 260));
    } else {
        std::vector<BYTE> data;
        DWORD type = 0;
        if (key && store.ReadAll(kFormInitialDirValue, &data, &type) == ERROR_SUCCESS && type == REG_SZ) {
            WString text(data.size() / sizeof(WCHAR), 0);
            if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(WCHAR));
            folder = WString(text.c_str(), WLenBounded(text.c_str(), text.size()));
        }
        if (folder.empty()) {
            WCHAR windows[MAX_PATH] = {};
            GetWindowsDirectoryW(windows, MAX_PATH);
            folder = WString(windows, WLenBounded(windows, 3));
        }
    }

    const std::vector<WCHAR> filter = Filter();
    const WString title = open ? WL("Import Overlay Form File") : WL("Create New Overlay Form File");
    WCHAR file[MAX_PATH] = {};
    WString chosen;
    for (int attempt = 0;; ++attempt) {
        if (attempt >= kMaxAttempts) return 0;
        WCopy(file, MAX_PATH, name);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = request->owner;
        ofn.lpstrFilter = filter.data();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrInitialDir = folder.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.lpstrDefExt = WL("VFO");
        ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                    (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
        if (!dialog(&ofn, !open)) return 0;
        chosen = WString(file, WLenBounded(file, MAX_PATH));
        if (open) break;
        if (!NameUsable(chosen) || !Creatable(chosen)) {
            Show(request->owner, kCaptionWarning, WFormatString(Resource(kCannotUse).c_str(), chosen.c_str()),
                 MB_OK | MB_ICONWARNING);
            name = FileNamePart(chosen);
            continue;
        }
        if (!SameFolder(FolderPart(chosen), folder) &&
            Show(request->owner, kCaptionInfo, Resource(kOtherFolder), MB_YESNO | MB_ICONINFORMATION) != IDYES) {
            name = FileNamePart(chosen);
            continue;
        }
        break;
    }
    WCopy(request->path, 260, chosen);
    if (!fixed && key) {
        const WString used = FolderPart(chosen);
        store.Write(kFormInitialDirValue, REG_SZ, used.c_str(), static_cast<DWORD>((used.size() + 1) * sizeof(WCHAR)));
    }
    if (!open) request->useFixedFolder = 0;
    return 1;
}

}  // namespace nvx::stamps
