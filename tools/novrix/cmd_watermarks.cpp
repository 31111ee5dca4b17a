// novrix watermarks: list, add, remove and reorder a printer's watermarks.
//
// The user's own watermarks and display order live under the user's key of the
// printer; the shared ones in the printer's data, which only a user who may
// administer the printer changes (--shared).  The chosen watermark of the user's
// stored preferences follows the list when it changes.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "common/text.h"
#include "echo.h"
#include "module_host.h"
#include "settings/oemdev.h"
#include "pages/quality_logic.h"
#include "stamps/watermark_fit.h"
#include "stamps/watermark_store.h"
#include "store.h"

namespace novrix {
namespace {

using nvx::stamps::EditResult;
using nvx::stamps::WatermarkRecord;
using nvx::stamps::WatermarkSet;

void WatermarksUsage(FILE* out) {
    fprintf(out,
            "usage: novrix watermarks [--printer NAME] list\n"
            "       novrix watermarks [--printer NAME] add TITLE [--text TEXT] [--font FACE] [--size N]\n"
            "                         [--angle DEGREES] [--shared]\n"
            "       novrix watermarks [--printer NAME] remove WHICH [--shared]\n"
            "       novrix watermarks [--printer NAME] move WHICH POSITION\n"
            "       novrix watermarks [--printer NAME] edit WHICH [--title TITLE] [--text TEXT] [--font FACE]\n"
            "                         [--size N] [--angle DEGREES] [--position X,Y] [--repeat on|off] [--shared]\n"
            "       novrix watermarks [--printer NAME] defaults\n"
            "WHICH is a position of the list (from 1) or a title.  The list shows the printer's\n"
            "shared watermarks and your own in your display order; * marks the one your\n"
            "preferences chose.  --shared adds to or removes from the shared list, which needs\n"
            "the right to administer the printer; the others are yours alone.  defaults\n"
            "registers the six built-in watermarks as the shared list, as the driver's\n"
            "installer does (administer right; nothing changes when the printer has six or more).\n"
            "A text has at most 128 characters, a title 30; the font is one of the machine's (or\n"
            "the default \"Arial\"); sizes run from 1 to 999, angles from -90 to 90 degrees and\n"
            "positions from -100 to 100 (percent of half the printable area from its middle).\n"
            "edit checks that the text fits the page of your preferences at their resolution and\n"
            "names the largest size that fits when it does not.\n");
}

struct Args {
    std::string printer, request, title, text, font;
    std::vector<std::string> operands;
    long size = 72, angle = 0, x = 0, y = 0;
    bool shared = false, hasText = false, hasLook = false;  // hasLook: --size or --angle given
    bool hasTitle = false, hasSize = false, hasAngle = false, hasPosition = false;
    int repeat = -1;  // --repeat: 1 on, 0 off
};

bool ParseNumber(const std::string& text, long low, long high, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < low || v > high) return false;
    *out = v;
    return true;
}

int ParseArgs(const std::vector<std::string>& args, Args* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--text" && hasValue) {
            out->text = args[++i];
            out->hasText = true;
        } else if (a == "--font" && hasValue) {
            out->font = args[++i];
        } else if (a == "--title" && hasValue) {
            out->title = args[++i];
            out->hasTitle = true;
        } else if (a == "--size" && hasValue) {
            // The range is checked with the other fields (a size of 0 or 1000 is refused there).
            out->hasLook = out->hasSize = true;
            if (!ParseNumber(args[++i], -100000, 100000, &out->size)) {
                fprintf(stderr, "novrix watermarks: --size takes a number, not \"%s\"\n", EchoText(args[i]).c_str());
                return kExitUsage;
            }
        } else if (a == "--angle" && hasValue) {
            out->hasLook = out->hasAngle = true;
            if (!ParseNumber(args[++i], -100000, 100000, &out->angle)) {
                fprintf(stderr, "novrix watermarks: --angle takes degrees, not \"%s\"\n", EchoText(args[i]).c_str());
                return kExitUsage;
            }
        } else if (a == "--position" && hasValue) {
            out->hasLook = out->hasPosition = true;
            const std::string& v = args[++i];
            const size_t comma = v.find(',');
            if (comma == std::string::npos || !ParseNumber(v.substr(0, comma), -100000, 100000, &out->x) ||
                !ParseNumber(v.substr(comma + 1), -100000, 100000, &out->y)) {
                fprintf(stderr, "novrix watermarks: --position takes X,Y, not \"%s\"\n", EchoText(v).c_str());
                return kExitUsage;
            }
        } else if (a == "--repeat" && hasValue) {
            out->hasLook = true;
            const std::string& v = args[++i];
            if (v != "on" && v != "off") {
                fprintf(stderr, "novrix watermarks: --repeat takes on or off, not \"%s\"\n", EchoText(v).c_str());
                return kExitUsage;
            }
            out->repeat = v == "on" ? 1 : 0;
        } else if (a == "--shared") {
            out->shared = true;
        } else if (a == "--help" || a == "help") {
            WatermarksUsage(stdout);
            return -1;
        } else if (a.rfind("--", 0) == 0) {
            fprintf(stderr, "novrix watermarks: unexpected argument '%s'\n", EchoText(a).c_str());
            WatermarksUsage(stderr);
            return kExitUsage;
        } else if (out->request.empty()) {
            out->request = a;
        } else {
            out->operands.push_back(a);
        }
    }
    return kExitOk;
}

// A record's text field in UTF-8 (the field may lie at an odd address: FieldText).
std::string Utf8(const void* field, size_t bytes) {
    return nvx::Utf8FromW(nvx::stamps::FieldText(field, bytes));
}

// The printer's lists and the user's stored preferences.
struct Session {
    std::string name;
    PrinterHandle printer;
    WatermarkSet set;
    std::vector<BYTE> devmode;  // the user's stored device mode, empty without one
    OEMDEV* record = nullptr;   // the settings record inside it
};

int Open(const Args& args, Session* s) {
    s->name = args.printer.empty() ? DefaultPrinterName() : args.printer;
    if (s->name.empty()) {
        fprintf(stderr, "novrix watermarks: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    if (DWORD rc = s->printer.Open(s->name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix watermarks: cannot open \"%s\": %s\n", EchoText(s->name).c_str(),
                rc == ERROR_INVALID_PRINTER_NAME ? "no printer of that name" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    s->set = nvx::stamps::LoadWatermarks(s->printer.get());
    s->devmode = LoadUserDevMode(s->printer.get());
    if (!s->devmode.empty())
        s->record = nvx::settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(s->devmode.data()));
    return kExitOk;
}

// Finds a watermark by position (from 1) or title; -1 with a message when none.
long Which(const Session& s, const std::string& which) {
    const std::vector<nvx::stamps::ListedWatermark> listed = nvx::stamps::DisplayList(s.set);
    long position = 0;
    if (ParseNumber(which, 1, LONG_MAX, &position)) {
        if (static_cast<size_t>(position) <= listed.size()) return position - 1;
        fprintf(stderr, "novrix watermarks: there is no watermark %ld; the list has %zu\n", position,
                listed.size());
        return -1;
    }
    for (size_t i = 0; i < listed.size(); ++i) {
        const WatermarkRecord& r = *listed[i].record;
        if (Utf8(r.szWmkTitle, sizeof r.szWmkTitle) == which) return static_cast<long>(i);
    }
    fprintf(stderr, "novrix watermarks: no watermark is titled \"%s\"\n", EchoText(which).c_str());
    return -1;
}

int List(const Session& s) {
    const std::vector<nvx::stamps::ListedWatermark> listed = nvx::stamps::DisplayList(s.set);
    printf("Watermarks of \"%s\": %zu shared, %zu your own.\n", s.name.c_str(), s.set.shared.size(),
           s.set.personal.size());
    if (listed.empty()) {
        printf("No watermarks.\n");
        return kExitOk;
    }
    const int32_t chosen = s.record ? nvx::settings::GetNumber(*s.record, "wWmkListPos") : 0;
    for (size_t i = 0; i < listed.size(); ++i) {
        const WatermarkRecord& r = *listed[i].record;
        printf("%c%2zu  %-31s  %-7s  \"%s\"  %s, size %u, angle %d\n", static_cast<int32_t>(i) == chosen ? '*' : ' ',
               i + 1, Utf8(r.szWmkTitle, sizeof r.szWmkTitle).c_str(), listed[i].shared ? "shared" : "own",
               Utf8(r.szWmkStr, sizeof r.szWmkStr).c_str(), Utf8(r.szFontName, sizeof r.szFontName).c_str(), r.wSize,
               r.nAngle);
    }
    if (s.record)
        printf("Watermark printing is %s in your preferences.\n",
               nvx::settings::GetNumber(*s.record, "bWmk") ? "on" : "off");
    return kExitOk;
}

// Writes what changed: the shared list first (it may be refused), then the user's
// list and order, then the chosen watermark of the stored preferences.
int Save(Session* s, bool sharedChanged, const char* request) {
    if (sharedChanged) {
        const nvx::WString name = nvx::WFromUtf8(s->name);
        DWORD rc = nvx::stamps::SaveSharedWatermarks(name.c_str(), s->set.shared);
        if (rc == ERROR_ACCESS_DENIED) {
            fprintf(stderr,
                    "novrix watermarks %s: the shared watermarks of \"%s\" can only be changed by a user who may "
                    "administer the printer; nothing was changed\n",
                    request, EchoText(s->name).c_str());
            return kExitFailed;
        }
        if (rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix watermarks %s: the shared watermarks could not be stored: %s\n", request,
                    ErrorText(rc).c_str());
            return kExitFailed;
        }
    }
    if (DWORD rc = nvx::stamps::SavePrivateWatermarks(s->printer.get(), s->set); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix watermarks %s: your watermarks could not be stored: %s\n", request,
                ErrorText(rc).c_str());
        return kExitFailed;
    }
    if (s->record && nvx::stamps::FollowChosenWatermark(*s->record, s->set)) {
        DWORD rc = SaveUserDevMode(s->printer.get(), reinterpret_cast<const DEVMODEW*>(s->devmode.data()));
        if (rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix watermarks %s: the chosen watermark of your preferences could not be updated: %s\n",
                    request, ErrorText(rc).c_str());
            return kExitFailed;
        }
    }
    return kExitOk;
}

// The faces a watermark may name: the default face and the fonts of the driver's
// font data library (the machine's fonts).
std::vector<nvx::WString> Faces(const Session& s, const Options& options) {
    const std::string folder = PrinterDriverFolder(s.printer.get(), options);
    std::vector<std::string> fonts;
    if (!folder.empty()) fonts = nvx::pages::quality::PrinterFontsOf(nvx::WFromUtf8(folder + "/NOVRIX_F.DLL"));
    return nvx::stamps::WatermarkFaces(fonts, nvx::stamps::DefaultWatermarkFace());
}

// Refuses fields a watermark cannot carry, saying which and why.
bool FieldsAcceptable(const nvx::stamps::WatermarkFields& f, const std::vector<nvx::WString>& faces,
                      const char* request) {
    const nvx::stamps::FieldProblem p = nvx::stamps::CheckFields(f, nvx::stamps::kWatermarkTitleMax, faces);
    if (p == nvx::stamps::FieldProblem::None) return true;
    if (p == nvx::stamps::FieldProblem::NoSuchFont) {
        std::string names;
        for (const nvx::WString& face : faces) names += (names.empty() ? "" : ", ") + nvx::Utf8FromW(face);
        fprintf(stderr, "novrix watermarks %s: no font \"%s\" on this machine (fonts: %s)\n", request,
                EchoText(nvx::Utf8FromW(f.face)).c_str(), names.c_str());
    } else if (p == nvx::stamps::FieldProblem::TitleTooLong) {
        fprintf(stderr, "novrix watermarks %s: the title is longer than %zu characters\n", request,
                nvx::stamps::kWatermarkTitleMax);
    } else {
        fprintf(stderr, "novrix watermarks %s: %s\n", request, nvx::stamps::ProblemText(p));
    }
    return false;
}

int Add(Session* s, const Args& args, const Options& options) {
    if (args.operands.size() != 1 || args.operands[0].empty()) {
        fprintf(stderr, "novrix watermarks add: give exactly one title\n");
        return kExitUsage;
    }
    if (args.hasPosition || args.repeat >= 0 || args.hasTitle) {
        fprintf(stderr, "novrix watermarks add: --title, --position and --repeat belong to edit\n");
        return kExitUsage;
    }
    const std::string& title = args.operands[0];
    const std::string text = args.hasText ? args.text : title;
    const nvx::WString face = args.font.empty() ? nvx::stamps::DefaultWatermarkFace() : nvx::WFromUtf8(args.font);
    if (text.empty()) {
        fprintf(stderr, "novrix watermarks add: the text to print is empty\n");
        return kExitFailed;
    }
    nvx::stamps::WatermarkFields f = nvx::stamps::FieldsOf(nvx::stamps::NewWatermarkTemplate(face));
    f.title = nvx::WFromUtf8(title);
    f.text = nvx::WFromUtf8(text);
    f.size = static_cast<int32_t>(args.size);
    f.angle = static_cast<int32_t>(args.angle);
    if (!FieldsAcceptable(f, Faces(*s, options), "add")) return kExitFailed;
    WatermarkRecord r = nvx::stamps::NewWatermarkTemplate(face);
    nvx::stamps::PutFields(&r, f);
    switch (nvx::stamps::AddWatermark(&s->set, r, args.shared)) {
    case EditResult::Done: break;
    case EditResult::DuplicateTitle:
        fprintf(stderr, "novrix watermarks add: %s a watermark titled \"%s\" already\n",
                args.shared ? "the shared list has" : "you have", EchoText(title).c_str());
        return kExitFailed;
    case EditResult::Full:
        fprintf(stderr, "novrix watermarks add: the list is full (%zu shared, %zu of your own, %zu in all at most)\n",
                nvx::stamps::kMaxSharedWatermarks, nvx::stamps::kMaxPrivateWatermarks,
                nvx::stamps::kMaxOrderEntries);
        return kExitFailed;
    default:
        fprintf(stderr, "novrix watermarks add: a watermark needs a title\n");
        return kExitFailed;
    }
    if (int rc = Save(s, args.shared, "add"); rc != kExitOk) return rc;
    printf("Added %s watermark \"%s\" as number %zu.\n", args.shared ? "the shared" : "your",
           title.c_str(), nvx::stamps::DisplayList(s->set).size());
    return kExitOk;
}

// Changes one watermark: the fields given, checked as the watermark dialog checks
// them, and the fit check on the page of the stored preferences (A4 at 600 dpi
// without them).
int Edit(Session* s, const Args& args, const Options& options) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix watermarks edit: give exactly one position or title\n");
        return kExitUsage;
    }
    const long at = Which(*s, args.operands[0]);
    if (at < 0) return kExitFailed;
    std::vector<nvx::stamps::EditItem> items = nvx::stamps::EditItems(s->set);
    nvx::stamps::EditItem& item = items[static_cast<size_t>(at)];
    const std::string oldTitle = Utf8(item.record.szWmkTitle, sizeof item.record.szWmkTitle);
    if (item.shared != args.shared) {
        fprintf(stderr,
                item.shared ? "novrix watermarks edit: \"%s\" is a shared watermark; changing it for every user needs "
                              "--shared (and the right to administer the printer)\n"
                            : "novrix watermarks edit: \"%s\" is one of your own watermarks, not a shared one\n",
                EchoText(oldTitle).c_str());
        return kExitFailed;
    }
    nvx::stamps::WatermarkFields f = nvx::stamps::FieldsOf(item.record);
    std::vector<nvx::WString> faces = Faces(*s, options);
    if (args.font.empty()) faces.push_back(f.face);  // a face left as it is stays acceptable
    if (args.hasTitle) f.title = nvx::WFromUtf8(args.title);
    if (args.hasText) f.text = nvx::WFromUtf8(args.text);
    if (!args.font.empty()) f.face = nvx::WFromUtf8(args.font);
    if (args.hasSize) f.size = static_cast<int32_t>(args.size);
    if (args.hasAngle) f.angle = static_cast<int32_t>(args.angle);
    if (args.hasPosition) f.x = static_cast<int32_t>(args.x), f.y = static_cast<int32_t>(args.y);
    if (args.repeat >= 0) f.repeat = args.repeat != 0;
    if (!FieldsAcceptable(f, faces, "edit")) return kExitFailed;
    if (f.text.empty()) {
        fprintf(stderr, "novrix watermarks edit: the text to print is empty\n");
        return kExitFailed;
    }
    nvx::stamps::PutFields(&item.record, f);
    if (nvx::stamps::DuplicateTitle(items) >= 0) {
        fprintf(stderr, "novrix watermarks edit: %s a watermark titled \"%s\" already\n",
                item.shared ? "the shared list has" : "you have", EchoText(nvx::Utf8FromW(f.title)).c_str());
        return kExitFailed;
    }
    // The page the text must fit: the stored preferences' paper and resolution.
    nvx::stamps::PrintArea area{2100 - 86, 2970 - 86};
    int32_t dpi = 600;
    if (s->record) {
        area = nvx::stamps::PrintableArea(*s->record);
        if (const int32_t r = nvx::settings::GetNumber(*s->record, "nResoH"); r > 0) dpi = r;
    }
    const nvx::stamps::FitResult fit =
        nvx::stamps::CheckFit(item.record, area, {dpi}, dpi, nvx::stamps::MeasureWithGdi);
    if (fit.lowered) {
        if (fit.size > 0)
            fprintf(stderr,
                    "novrix watermarks edit: at %d dpi the text does not fit on the page in size %d; the largest size "
                    "that fits is %d (nothing was changed)\n",
                    fit.dpi, f.size, fit.size);
        else
            fprintf(stderr, "novrix watermarks edit: at %d dpi the text does not fit on the page in any size "
                    "(nothing was changed)\n", fit.dpi);
        return kExitFailed;
    }
    const int32_t chosen = s->record ? nvx::settings::GetNumber(*s->record, "wWmkListPos") : -1;
    s->set = nvx::stamps::SetFromItems(items);
    if (int rc = Save(s, item.shared, "edit"); rc != kExitOk) return rc;
    // The preferences that print this watermark print it as it is now.
    if (s->record && chosen == at && nvx::stamps::ChooseWatermark(*s->record, s->set, static_cast<size_t>(at))) {
        DWORD rc = SaveUserDevMode(s->printer.get(), reinterpret_cast<const DEVMODEW*>(s->devmode.data()));
        if (rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix watermarks edit: the watermark of your preferences could not be updated: %s\n",
                    ErrorText(rc).c_str());
            return kExitFailed;
        }
    }
    printf("Changed %s watermark \"%s\": \"%s\", %s, size %d, angle %d, position %d,%d%s.\n",
           item.shared ? "the shared" : "your", nvx::Utf8FromW(f.title).c_str(), nvx::Utf8FromW(f.text).c_str(),
           nvx::Utf8FromW(f.face).c_str(), f.size, f.angle, f.x, f.y, f.repeat ? ", repeated" : "");
    return kExitOk;
}

int Remove(Session* s, const Args& args) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix watermarks remove: give exactly one position or title\n");
        return kExitUsage;
    }
    const long at = Which(*s, args.operands[0]);
    if (at < 0) return kExitFailed;
    const nvx::stamps::ListedWatermark gone = nvx::stamps::DisplayList(s->set)[static_cast<size_t>(at)];
    const std::string title = Utf8(gone.record->szWmkTitle, sizeof gone.record->szWmkTitle);
    if (gone.shared && !args.shared) {
        fprintf(stderr,
                "novrix watermarks remove: \"%s\" is a shared watermark; removing it for every user needs --shared "
                "(and the right to administer the printer)\n",
                EchoText(title).c_str());
        return kExitFailed;
    }
    if (!gone.shared && args.shared) {
        fprintf(stderr, "novrix watermarks remove: \"%s\" is one of your own watermarks, not a shared one\n",
                EchoText(title).c_str());
        return kExitFailed;
    }
    nvx::stamps::RemoveWatermark(&s->set, static_cast<size_t>(at));
    if (int rc = Save(s, gone.shared, "remove"); rc != kExitOk) return rc;
    printf("Removed %s watermark \"%s\".\n", gone.shared ? "the shared" : "your", title.c_str());
    return kExitOk;
}

int Move(Session* s, const Args& args) {
    if (args.operands.size() != 2) {
        fprintf(stderr, "novrix watermarks move: give a position or title and the new position\n");
        return kExitUsage;
    }
    if (args.shared) {
        fprintf(stderr, "novrix watermarks move: the order is your own; --shared does not apply\n");
        return kExitUsage;
    }
    const long from = Which(*s, args.operands[0]);
    if (from < 0) return kExitFailed;
    const size_t count = nvx::stamps::DisplayList(s->set).size();
    long to = 0;
    if (!ParseNumber(args.operands[1], 1, static_cast<long>(count), &to)) {
        fprintf(stderr, "novrix watermarks move: the new position must be a number from 1 to %zu, not \"%s\"\n",
                count, EchoText(args.operands[1]).c_str());
        return kExitFailed;
    }
    const nvx::stamps::WatermarkRecord& moved = *nvx::stamps::DisplayList(s->set)[static_cast<size_t>(from)].record;
    const std::string title = Utf8(moved.szWmkTitle, sizeof moved.szWmkTitle);
    nvx::stamps::MoveWatermark(&s->set, static_cast<size_t>(from), static_cast<size_t>(to - 1));
    if (int rc = Save(s, false, "move"); rc != kExitOk) return rc;
    printf("Moved \"%s\" to number %ld.\n", title.c_str(), to);
    return kExitOk;
}

// The built-in watermarks through the module's own entry point.
int Defaults(const Session& s, const Options& options) {
    const size_t before = s.set.shared.size();
    ModuleHost host;
    if (!host.Load(PrinterDriverFolder(s.printer.get(), options))) {
        fprintf(stderr, "novrix watermarks defaults: %s\n", host.Error().c_str());
        return kExitFailed;
    }
    auto registerDefaults = host.Entry<int (*)(const WCHAR*)>("Prc_RegDefWMarkW");
    if (!registerDefaults) {
        fprintf(stderr, "novrix watermarks defaults: the module has no Prc_RegDefWMarkW\n");
        return kExitFailed;
    }
    const nvx::WString name = nvx::WFromUtf8(s.name);
    if (!registerDefaults(name.c_str())) {
        const DWORD error = GetLastError();
        fprintf(stderr, "novrix watermarks defaults: the built-in watermarks could not be registered: %s\n",
                error == ERROR_ACCESS_DENIED
                    ? "only a user who may administer the printer can change its shared watermarks"
                    : ErrorText(error).c_str());
        return kExitFailed;
    }
    const size_t after = nvx::stamps::LoadWatermarks(s.printer.get()).shared.size();
    if (after == before && before >= nvx::stamps::BuiltinWatermarks(WL("Arial")).size())
        printf("\"%s\" has %zu shared watermarks already; nothing changed.\n", s.name.c_str(), before);
    else
        printf("Registered the built-in watermarks: \"%s\" has %zu shared watermarks.\n", s.name.c_str(), after);
    return kExitOk;
}

}  // namespace

int CmdWatermarks(const Options& options, const std::vector<std::string>& args) {
    Args a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    if (a.request.empty()) a.request = "list";
    const bool known = a.request == "list" || a.request == "add" || a.request == "remove" || a.request == "move" ||
                       a.request == "defaults" || a.request == "edit";
    if (!known) {
        fprintf(stderr, "novrix watermarks: unknown request '%s'\n", EchoText(a.request).c_str());
        WatermarksUsage(stderr);
        return kExitUsage;
    }
    if ((a.request == "list" || a.request == "defaults") && (!a.operands.empty() || a.shared)) {
        fprintf(stderr, "novrix watermarks %s: takes no arguments but --printer\n", a.request.c_str());
        return kExitUsage;
    }
    if (a.request != "add" && a.request != "edit" && (a.hasText || !a.font.empty() || a.hasLook || a.hasTitle)) {
        fprintf(stderr, "novrix watermarks %s: --title, --text, --font, --size, --angle, --position and --repeat "
                "belong to add and edit\n", a.request.c_str());
        return kExitUsage;
    }
    Session s;
    if (int rc = Open(a, &s); rc != kExitOk) return rc;
    if (a.request == "list") return List(s);
    if (a.request == "add") return Add(&s, a, options);
    if (a.request == "edit") return Edit(&s, a, options);
    if (a.request == "remove") return Remove(&s, a);
    if (a.request == "defaults") return Defaults(s, options);
    return Move(&s, a);
}

}  // namespace novrix
