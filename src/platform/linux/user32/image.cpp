// Icons, cursors and bitmaps loaded from a module's resources (or stock ones),
// and minimal image lists.  Images carry their size and where they came from;
// there are no pixels.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct Image {
    UINT type = IMAGE_ICON;  // IMAGE_ICON or IMAGE_CURSOR
    bool shared = false;
    SIZE size{32, 32};
    std::string source;
};

HandleSet<Image>& Images() {
    static auto* set = new HandleSet<Image>;
    return *set;
}

struct ImageListObject {
    int cx = 16, cy = 16;
    UINT flags = 0;
    int count = 0;
    COLORREF bk = CLR_NONE;
};

HandleSet<ImageListObject>& Lists() {
    static auto* set = new HandleSet<ImageListObject>;
    return *set;
}

std::mutex& CacheMutex() {
    static std::mutex m;
    return m;
}

// Shared images: one handle per (module, name, type, size).
using CacheKey = std::tuple<HINSTANCE, std::string, UINT, int, int>;
std::map<CacheKey, HANDLE>& Cache() {
    static auto* cache = new std::map<CacheKey, HANDLE>;
    return *cache;
}

struct StockName {
    int id;
    const char* name;
};
const StockName kStockIcons[] = {{32512, "IDI_APPLICATION"}, {32513, "IDI_HAND"},     {32514, "IDI_QUESTION"},
                                 {32515, "IDI_EXCLAMATION"}, {32516, "IDI_ASTERISK"}, {32517, "IDI_WINLOGO"},
                                 {32518, "IDI_SHIELD"}};
const StockName kStockCursors[] = {{32512, "IDC_ARROW"},    {32513, "IDC_IBEAM"},       {32514, "IDC_WAIT"},
                                   {32515, "IDC_CROSS"},    {32516, "IDC_UPARROW"},     {32642, "IDC_SIZENWSE"},
                                   {32643, "IDC_SIZENESW"}, {32644, "IDC_SIZEWE"},      {32645, "IDC_SIZENS"},
                                   {32646, "IDC_SIZEALL"},  {32648, "IDC_NO"},          {32649, "IDC_HAND"},
                                   {32650, "IDC_APPSTARTING"}, {32651, "IDC_HELP"}};

HANDLE NewImage(UINT type, SIZE size, const std::string& source, bool shared) {
    auto* img = new Image;
    img->type = type;
    img->size = size;
    img->source = source;
    img->shared = shared;
    return Images().Add(img);
}

HANDLE Shared(HINSTANCE module, const std::string& name, UINT type, SIZE size, const std::string& source) {
    std::lock_guard<std::mutex> lock(CacheMutex());
    CacheKey key{module, name, type, size.cx, size.cy};
    auto it = Cache().find(key);
    if (it != Cache().end() && Images().Contains(it->second)) return it->second;
    HANDLE h = NewImage(type, size, source, true);
    Cache()[key] = h;
    return h;
}

HANDLE StockImage(LPCWSTR name, UINT type) {
    if (!IS_INTRESOURCE(name)) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, HANDLE(nullptr));
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    const auto* table = type == IMAGE_CURSOR ? kStockCursors : kStockIcons;
    size_t count = type == IMAGE_CURSOR ? std::size(kStockCursors) : std::size(kStockIcons);
    for (size_t i = 0; i < count; ++i)
        if (table[i].id == id) return Shared(nullptr, table[i].name, type, SIZE{32, 32}, table[i].name);
    return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, HANDLE(nullptr));
}

uint16_t Word(const BYTE* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int32_t Long(const BYTE* p) {
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

// The resource bytes, or null (the last error is FindResourceW's).
const BYTE* ResourceBytes(HINSTANCE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
    HRSRC info = FindResourceW(module, name, type);
    if (!info) return nullptr;
    *size = SizeofResource(module, info);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
}

// The size an icon or cursor group offers: its first entry (0 means 256).
SIZE GroupSize(const BYTE* data, DWORD size, bool cursor) {
    if (!data || size < 6 + 14 || Word(data + 4) == 0) return SIZE{32, 32};
    const BYTE* entry = data + 6;
    if (cursor) return SIZE{Word(entry), Word(entry + 2) / 2};
    return SIZE{entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256};
}

SIZE RequestedSize(SIZE natural, int cx, int cy, UINT flags, bool icon) {
    int def = icon ? GetSystemMetrics(SM_CXICON) : GetSystemMetrics(SM_CXCURSOR);
    SIZE s = natural;
    if (cx) s.cx = cx;
    else if (flags & LR_DEFAULTSIZE) s.cx = def;
    if (cy) s.cy = cy;
    else if (flags & LR_DEFAULTSIZE) s.cy = def;
    return s;
}

// Reads the image size from an .ico, .cur or .bmp file.
bool FileImageSize(LPCWSTR path, UINT type, SIZE* size) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return false;
    BYTE head[64] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (in.gcount() < 22) return false;
    if (type == IMAGE_BITMAP) {
        if (head[0] != 'B' || head[1] != 'M') return false;
        *size = SIZE{Long(head + 18), std::abs(Long(head + 22))};
        return true;
    }
    if (Word(head) != 0 || Word(head + 4) == 0) return false;
    *size = SIZE{head[6] ? head[6] : 256, head[7] ? head[7] : 256};
    return true;
}

}  // namespace

std::string ResourceNameText(LPCWSTR name) {
    if (!name) return "";
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return nvx::Utf8FromW(name);
}

std::string DescribeImage(HANDLE image) {
    if (!image) return "";
    if (Image* img = Images().Find(image)) return (img->type == IMAGE_CURSOR ? "cursor " : "icon ") + img->source;
    if (IsGdiObject(image)) {
        std::string source = BitmapSource(static_cast<HBITMAP>(image));
        return source.empty() ? "bitmap" : "bitmap " + source;
    }
    return "";
}

bool IsIconHandle(HANDLE image) {
    return Images().Contains(image);
}

bool ImageSize(HANDLE image, SIZE* size) {
    if (Image* img = Images().Find(image)) {
        *size = img->size;
        return true;
    }
    return BitmapSize(static_cast<HBITMAP>(image), size);
}

}  // namespace nvxp

using nvxp::Fail;

namespace {

// A bitmap resource as a bitmap object of its size and depth.
HBITMAP BitmapFromResource(HINSTANCE module, LPCWSTR name) {
    DWORD size = 0;
    const BYTE* data = nvxp::ResourceBytes(module, name, RT_BITMAP, &size);
    if (!data) return nullptr;
    if (size < 16) return Fail(ERROR_RESOURCE_DATA_NOT_FOUND, HBITMAP(nullptr));
    int width = nvxp::Long(data + 4);
    int height = std::abs(nvxp::Long(data + 8));
    UINT bits = nvxp::Word(data + 14);
    HBITMAP bitmap = CreateBitmap(width, height, 1, bits, nullptr);
    nvxp::SetBitmapSource(bitmap, nvxp::ResourceNameText(name));
    return bitmap;
}

}  // namespace

extern "C" {

NVXAPI HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    if (type != IMAGE_ICON && type != IMAGE_CURSOR && type != IMAGE_BITMAP)
        return Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    if (fuLoad & LR_LOADFROMFILE) {
        if (IS_INTRESOURCE(name)) return Fail(ERROR_FILE_NOT_FOUND, HANDLE(nullptr));
        SIZE natural{};
        if (!nvxp::FileImageSize(name, type, &natural)) return Fail(ERROR_FILE_NOT_FOUND, HANDLE(nullptr));
        std::string source = nvx::Utf8FromW(name);
        if (type == IMAGE_BITMAP) {
            HBITMAP bitmap = CreateBitmap(cx ? cx : natural.cx, cy ? cy : natural.cy, 1, 32, nullptr);
            nvxp::SetBitmapSource(bitmap, source);
            return bitmap;
        }
        SIZE s = nvxp::RequestedSize(natural, cx, cy, fuLoad, type == IMAGE_ICON);
        return nvxp::NewImage(type, s, source, false);
    }
    if (type == IMAGE_BITMAP) {
        if (!hInst) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, HANDLE(nullptr));
        return BitmapFromResource(hInst, name);
    }
    if (!hInst) return nvxp::StockImage(name, type);
    DWORD size = 0;
    const BYTE* group =
        nvxp::ResourceBytes(hInst, name, type == IMAGE_ICON ? RT_GROUP_ICON : RT_GROUP_CURSOR, &size);
    if (!group) return nullptr;
    SIZE s = nvxp::RequestedSize(nvxp::GroupSize(group, size, type == IMAGE_CURSOR), cx, cy, fuLoad,
                                 type == IMAGE_ICON);
    std::string source = nvxp::ResourceNameText(name);
    if (fuLoad & LR_SHARED) return nvxp::Shared(hInst, source, type, s, source);
    return nvxp::NewImage(type, s, source, false);
}

NVXAPI HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    return static_cast<HICON>(LoadImageW(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

NVXAPI HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    return static_cast<HCURSOR>(
        LoadImageW(hInstance, lpCursorName, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

NVXAPI HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
    return static_cast<HBITMAP>(LoadImageW(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, 0));
}

// Shared icons (LoadIcon, LR_SHARED) stay; DestroyIcon answers TRUE for them.
NVXAPI BOOL WINAPI DestroyIcon(HICON hIcon) {
    nvxp::Image* img = nvxp::Images().Find(hIcon);
    if (!img) return Fail(DWORD(1402), FALSE);  // ERROR_INVALID_CURSOR_HANDLE
    if (img->shared) return TRUE;
    delete nvxp::Images().Remove(hIcon);
    return TRUE;
}

NVXAPI BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
    return DestroyIcon(hCursor);
}

NVXAPI HICON WINAPI CopyIcon(HICON hIcon) {
    nvxp::Image* img = nvxp::Images().Find(hIcon);
    if (!img) return Fail(DWORD(1402), HICON(nullptr));
    return static_cast<HICON>(nvxp::NewImage(img->type, img->size, img->source, false));
}

NVXAPI HANDLE WINAPI CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags) {
    HANDLE copy = nullptr;
    if (type == IMAGE_BITMAP) {
        SIZE s;
        if (!nvxp::BitmapSize(static_cast<HBITMAP>(h), &s)) return Fail(ERROR_INVALID_HANDLE, HANDLE(nullptr));
        copy = CreateBitmap(cx ? cx : s.cx, cy ? cy : s.cy, 1, 32, nullptr);
        nvxp::SetBitmapSource(static_cast<HBITMAP>(copy), nvxp::BitmapSource(static_cast<HBITMAP>(h)));
        if (flags & LR_COPYDELETEORG) DeleteObject(h);
        return copy;
    }
    nvxp::Image* img = nvxp::Images().Find(h);
    if (!img) return Fail(DWORD(1402), HANDLE(nullptr));
    SIZE s{cx ? cx : img->size.cx, cy ? cy : img->size.cy};
    copy = nvxp::NewImage(img->type, s, img->source, false);
    if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(h));
    return copy;
}

// The two bitmaps belong to the caller.
NVXAPI BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
    nvxp::Image* img = nvxp::Images().Find(hIcon);
    if (!img) return Fail(DWORD(1402), FALSE);
    if (!piconinfo) return Fail(ERROR_NOACCESS, FALSE);
    piconinfo->fIcon = img->type == IMAGE_ICON;
    piconinfo->xHotspot = static_cast<DWORD>(img->size.cx / 2);
    piconinfo->yHotspot = static_cast<DWORD>(img->size.cy / 2);
    piconinfo->hbmMask = CreateBitmap(img->size.cx, img->size.cy, 1, 1, nullptr);
    piconinfo->hbmColor = CreateBitmap(img->size.cx, img->size.cy, 1, 32, nullptr);
    return TRUE;
}

NVXAPI HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow) {
    (void)cInitial;
    (void)cGrow;
    if (cx < 0 || cy < 0) return nullptr;
    auto* list = new nvxp::ImageListObject;
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    return reinterpret_cast<HIMAGELIST>(nvxp::Lists().Add(list));
}

NVXAPI BOOL WINAPI ImageList_Destroy(HIMAGELIST himl) {
    nvxp::ImageListObject* list = nvxp::Lists().Remove(himl);
    if (!list) return FALSE;
    delete list;
    return TRUE;
}

NVXAPI int WINAPI ImageList_GetImageCount(HIMAGELIST himl) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    return list ? list->count : 0;
}

NVXAPI BOOL WINAPI ImageList_SetImageCount(HIMAGELIST himl, UINT uNewCount) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list) return FALSE;
    list->count = static_cast<int>(uNewCount);
    return TRUE;
}

// Appends one image per cx-wide strip of the bitmap; answers the first index.
NVXAPI int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
    (void)hbmMask;
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    SIZE s;
    if (!list || !nvxp::BitmapSize(hbmImage, &s)) return -1;
    int n = list->cx > 0 ? std::max(1, static_cast<int>(s.cx) / list->cx) : 1;
    int first = list->count;
    list->count += n;
    return first;
}

NVXAPI int WINAPI ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
    (void)crMask;
    return ImageList_Add(himl, hbmImage, nullptr);
}

// Replaces image i, or appends when i is -1; answers the index or -1.
NVXAPI int WINAPI ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list || !nvxp::Images().Contains(hicon)) return -1;
    if (i == -1) return list->count++;
    return i >= 0 && i < list->count ? i : -1;
}

NVXAPI BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list) return FALSE;
    if (i == -1) {
        list->count = 0;
        return TRUE;
    }
    if (i < 0 || i >= list->count) return FALSE;
    --list->count;
    return TRUE;
}

NVXAPI BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list || !cx || !cy) return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

NVXAPI HICON WINAPI ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags) {
    (void)flags;
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list || i < 0 || i >= list->count) return nullptr;
    return static_cast<HICON>(nvxp::NewImage(IMAGE_ICON, SIZE{list->cx, list->cy}, "imagelist", false));
}

NVXAPI COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    if (!list) return CLR_NONE;
    return std::exchange(list->bk, clrBk);
}

NVXAPI BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    (void)x;
    (void)y;
    (void)fStyle;
    (void)hdcDst;
    nvxp::ImageListObject* list = nvxp::Lists().Find(himl);
    return list && i >= 0 && i < list->count;
}

}  // extern "C"
