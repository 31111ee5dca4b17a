// novrix presets: the printer's presets as the preset combo and its dialogs keep them.
//
//   novrix presets [--printer NAME] list
//   novrix presets [--printer NAME] apply NAME [--shared]
//   novrix presets [--printer NAME] save NAME [--comment TEXT] [--shared]
//   novrix presets [--printer NAME] delete NAME [--shared]
//   novrix presets [--printer NAME] move NAME up|down [--shared]
//   novrix presets [--printer NAME] export NAME FILE [--shared]
//   novrix presets [--printer NAME] import FILE [--name NAME] [--yes|--no]
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "echo.h"
#include "features/model_record.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "platform/host.h"
#include "presets/printer_presets.h"
#include "settings/oemdev_template.h"
#include "sheet_session.h"
#include "stamps/watermark_store.h"
#include "store.h"

namespace novrix {
namespace {

using nvx::WString;
using namespace nvx::presets;

void PresetsUsage(FILE* out) {
    fprintf(out,
            "usage: novrix presets [--printer NAME] list\n"
            "       novrix presets [--printer NAME] apply NAME [--shared]\n"
            "       novrix presets [--printer NAME] save NAME [--comment TEXT] [--shared]\n"
            "       novrix presets [--printer NAME] delete NAME [--shared]\n"
            "       novrix presets [--printer NAME] move NAME up|down [--shared]\n"
            "       novrix presets [--printer NAME] export NAME FILE [--shared]\n"
            "       novrix presets [--printer NAME] import FILE [--name NAME] [--yes|--no]\n"
            "Presets are named sets of printing preferences: the Default entry, the shared presets of\n"
            "the printer (saved and changed only by a user who may administer it) and your own.\n"
            "list shows them in the order of the Preset combo, * marking the one your preferences\n"
            "equal.  apply makes a preset your preferences; save stores your preferences as a new\n"
            "preset (yours, or with --shared the printer's); delete and move change the list;\n"
            "export writes a preset as a settings file, import adds a settings file as a preset of\n"
            "yours (--name gives it another name).  NAME is your preset of that name, else the shared\n"
            "one; --shared picks the shared one.  A preset from a file of another driver version is a\n"
            "Yes/No question: --yes imports it.  Exit codes: 0 done, 1 refused or failed, 2 usage.\n");
}

struct PresetArgs {
    std::string verb, printer, comment, newName;
    std::vector<std::string> operands;
    bool shared = false, hasComment = false, hasName = false;
    int answer = 0;  // 1 yes, -1 no
};

int ParseArgs(const std::vector<std::string>& args, PresetArgs* a) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        const bool hasValue = i + 1 < args.size();
        if (s == "--help") {
            PresetsUsage(stdout);
            return -1;
        } else if (s == "--printer" && hasValue) {
            a->printer = args[++i];
        } else if (s == "--comment" && hasValue) {
            a->comment = args[++i];
            a->hasComment = true;
        } else if (s == "--name" && hasValue) {
            a->newName = args[++i];
            a->hasName = true;
        } else if (s == "--shared") {
            a->shared = true;
        } else if (s == "--yes" || s == "--no") {
            a->answer = s == "--yes" ? 1 : -1;
        } else if (s.rfind("--", 0) == 0) {
            fprintf(stderr, "novrix presets: unexpected option '%s'\n", EchoText(s).c_str());
            PresetsUsage(stderr);
            return kExitUsage;
        } else if (a->verb.empty()) {
            a->verb = s;
        } else {
            a->operands.push_back(s);
        }
    }
    if (a->verb.empty()) a->verb = "list";
    struct Shape {
        const char* verb;
        size_t operands;
    };
    static const Shape kShapes[] = {{"list", 0}, {"apply", 1}, {"save", 1}, {"delete", 1},
                                    {"move", 2}, {"export", 2}, {"import", 1}};
    for (const Shape& shape : kShapes) {
        if (a->verb != shape.verb) continue;
        if (a->operands.size() != shape.operands) {
            fprintf(stderr, "novrix presets %s: expects %zu argument%s (novrix presets --help)\n", shape.verb,
                    shape.operands, shape.operands == 1 ? "" : "s");
            return kExitUsage;
        }
        if (a->hasComment && a->verb != "save") {
            fprintf(stderr, "novrix presets %s: --comment goes with save\n", shape.verb);
            return kExitUsage;
        }
        if (a->hasName && a->verb != "import") {
            fprintf(stderr, "novrix presets %s: --name goes with import\n", shape.verb);
            return kExitUsage;
        }
        if (a->answer && a->verb != "import") {
            fprintf(stderr, "novrix presets %s: --yes/--no go with import\n", shape.verb);
            return kExitUsage;
        }
        if (a->shared && (a->verb == "list" || a->verb == "import")) {
            fprintf(stderr, "novrix presets %s: --shared goes with apply, save, delete, move and export\n",
                    shape.verb);
            return kExitUsage;
        }
        if (a->verb == "move" && a->operands[1] != "up" && a->operands[1] != "down") {
            fprintf(stderr, "novrix presets move: say up or down, not \"%s\"\n", EchoText(a->operands[1]).c_str());
            return kExitUsage;
        }
        return kExitOk;
    }
    fprintf(stderr, "novrix presets: unknown request '%s'\n", EchoText(a->verb).c_str());
    PresetsUsage(stderr);
    return kExitUsage;
}

// Saves of one printer's presets, made one at a time across novrix processes: each
// reads the stores, changes them and writes them whole under the lock.
class StoreLock {
public:
    StoreLock() {
        const std::string path = std::string(NvxPlatform_Root()) + "/presets.lock";
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0) flock(fd_, LOCK_EX);
    }
    ~StoreLock() {
        if (fd_ >= 0) close(fd_);  // closing releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

// The printer's model tables, read from its driver folder as the module reads them.
struct ModelData {
    nvx::model::ModelTables tables;
    ~ModelData() {
        if (tables.record) nvx::features::FreeModelRecord(tables.record);
    }
    bool Load(const std::string& folder) {
        WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
        nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
        return pkg && nvx::features::BuildModelRecord(*pkg, tables);
    }
};

// One run: the session (the user's preferences), the printer's facts and its list.
struct Run {
    SheetSession session;
    ModelData model;
    PresetEnvironment env;
    OEMDEV start{};
    ApplyContext ctx;
    EasySetList list;
    bool admin = false;

    bool Load(std::string* error) {
        std::memcpy(start.bytes, session.Record(), sizeof start.bytes);
        env = PrinterEnvironment(session.Printer(), model.tables.record ? &model.tables : nullptr);
        admin = CanAdministerPrinter(session.Printer());
        ctx.env = &env;
        ctx.startSettings = &start;
        ctx.canAdminister = admin;
        if (!LoadPrinterList(session.Printer(), start, ctx, &list)) {
            *error = "the printer's preset list could not be built (its default settings do not read)";
            return false;
        }
        return true;
    }
    OEMDEV& Record() { return *nvx::settings::AsRecord(session.Record()); }
};

std::string Utf8(const WString& s) {
    return EchoText(nvx::Utf8FromW(s));
}

const char* ScopeWord(const EasySetEntry& e) {
    if (e.isDefault) return "built in";
    return e.scope == kSharedScope ? "shared" : "yours";
}

// The entry NAME designates: the user's preset of that name, else the shared one;
// with --shared the shared one.  The Default entry answers to its name too.
int FindNamed(const EasySetList& list, const std::string& name, bool shared) {
    const WString w = nvx::WFromUtf8(name);
    if (!shared) {
        if (int i = list.Find(w, kPersonalScope); i >= 0) return i;
    }
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].scope == kSharedScope && !list.entries[i].isDefault && list.entries[i].Name() == w)
            return static_cast<int>(i);
    if (!shared)
        for (size_t i = 0; i < list.entries.size(); ++i)
            if (list.entries[i].isDefault && w == WString(kDefaultEntryName)) return static_cast<int>(i);
    return -1;
}

int NoSuchPreset(const char* verb, const std::string& name, bool shared) {
    fprintf(stderr, "novrix presets %s: there is no %spreset \"%s\" (novrix presets list shows them)\n", verb,
            shared ? "shared " : "", EchoText(name).c_str());
    return kExitFailed;
}

int List(Run& r) {
    printf("Presets of %s:\n", r.session.PrinterName().c_str());
    for (size_t i = 0; i < r.list.entries.size(); ++i) {
        const EasySetEntry& e = r.list.entries[i];
        WString comment = e.Comment();
        if (size_t cut = comment.find_first_of(WL("\r\n")); cut != WString::npos) comment.resize(cut);
        // Names padded to 31 characters (not bytes), the scope to 8 when a comment follows.
        const std::string name = Utf8(e.Name());
        const WString wname = e.Name();
        const std::string pad(wname.size() < kMaxNameChars ? kMaxNameChars - wname.size() : 0, ' ');
        std::string scope = ScopeWord(e);
        if (!comment.empty()) scope.resize(8, ' ');
        printf("%s %s%s  %s%s%s\n", static_cast<int>(i) == r.list.current ? "*" : " ", name.c_str(), pad.c_str(),
               scope.c_str(), comment.empty() ? "" : "  ", Utf8(comment).c_str());
    }
    if (r.list.current < 0) printf("* %s  (your preferences equal no preset)\n", Utf8(kUntitledName).c_str());
    return kExitOk;
}

// Stores the record as the user's preferences.
int StorePreferences(Run& r, const char* verb) {
    std::string error;
    if (!r.session.Store(&error)) {
        fprintf(stderr, "novrix presets %s: %s\n", verb, error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int Apply(Run& r, const PresetArgs& a) {
    const int i = FindNamed(r.list, a.operands[0], a.shared);
    if (i < 0) return NoSuchPreset("apply", a.operands[0], a.shared);
    const EasySetEntry& e = r.list.entries[i];
    WatermarkLists lists = r.env.lists;
    const WatermarkLists before = lists;
    ApplyContext ctx = r.ctx;
    ctx.lists = &lists;
    if (!ApplyEntry(e, r.Record(), ctx))
        fprintf(stderr, "novrix presets apply: some settings of \"%s\" do not fit this printer and were left as they "
                        "were\n", Utf8(e.Name()).c_str());
    if (lists.personal != before.personal || lists.order != before.order || lists.shared != before.shared) {
        nvx::stamps::WatermarkSet set;
        auto back = [](const auto& from, auto* to) {
            for (const auto& raw : from) {
                to->emplace_back();
                std::memcpy(&to->back(), raw.data(), raw.size());
            }
        };
        back(lists.shared, &set.shared);
        back(lists.personal, &set.personal);
        back(lists.order, &set.order);
        if (lists.shared != before.shared) {
            const WString name = nvx::WFromUtf8(r.session.PrinterName());
            nvx::stamps::SaveSharedWatermarks(name.c_str(), set.shared);
        }
        if (DWORD rc = nvx::stamps::SavePrivateWatermarks(r.session.Printer(), set); rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix presets apply: your watermarks could not be stored: %s\n", ErrorText(rc).c_str());
            return kExitFailed;
        }
        nvx::stamps::FollowChosenWatermark(r.Record(), nvx::stamps::LoadWatermarks(r.session.Printer()));
    }
    if (int rc = StorePreferences(r, "apply"); rc != kExitOk) return rc;
    printf("Applied \"%s\" (%s): your preferences of %s are its settings.\n", Utf8(e.Name()).c_str(), ScopeWord(e),
           r.session.PrinterName().c_str());
    return kExitOk;
}

// The name rules of the save and edit dialogs: not empty, at most 31 characters
// (30 typed in the dialog), unique within its scope.
bool CheckName(const char* verb, const EasySetList& list, const WString& name, uint32_t scope) {
    if (name.empty()) {
        fprintf(stderr, "novrix presets %s: the name must not be empty\n", verb);
        return false;
    }
    if (name.size() > kMaxNameChars) {
        fprintf(stderr, "novrix presets %s: a preset name takes at most %zu characters\n", verb, kMaxNameChars);
        return false;
    }
    if (list.Find(name, scope) >= 0 || (scope == kSharedScope && name == WString(kDefaultEntryName))) {
        fprintf(stderr, "novrix presets %s: there is a %s preset \"%s\" already\n", verb,
                scope == kSharedScope ? "shared" : "personal", Utf8(name).c_str());
        return false;
    }
    return true;
}

// Room for one more preset of the scope, as the save dialog allows it.
bool CheckRoom(const char* verb, const Run& r, uint32_t scope) {
    if (scope == kSharedScope) {
        if (!r.admin) {
            fprintf(stderr, "novrix presets %s: only a user who may administer \"%s\" saves shared presets\n", verb,
                    r.session.PrinterName().c_str());
            return false;
        }
        if (r.list.CountScope(kSharedScope) >= kMaxSharedEntries || r.list.Count() >= kMaxListEntries) {
            fprintf(stderr, "novrix presets %s: the printer has %zu shared presets (with Default), the most it "
                            "keeps; delete one first\n", verb, r.list.CountScope(kSharedScope));
            return false;
        }
        return true;
    }
    if (r.list.CountScope(kPersonalScope) >= kMaxPersonalEntries || r.list.Count() >= kMaxListEntries) {
        fprintf(stderr, "novrix presets %s: you have %zu presets, the most a user keeps (%zu; %zu in all); delete "
                        "one first\n", verb, r.list.CountScope(kPersonalScope), kMaxPersonalEntries, kMaxListEntries);
        return false;
    }
    return true;
}

// Writes a scope and the order; a refusal is said in novrix's words.
int SaveList(Run& r, uint32_t scope, const char* verb) {
    if (DWORD rc = SavePrinterScope(r.session.Printer(), r.list, scope); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix presets %s: the %s presets could not be stored: %s (they are as they were)\n", verb,
                scope == kSharedScope ? "shared" : "personal",
                rc == ERROR_ACCESS_DENIED ? "only a user who may administer the printer changes them"
                                          : ErrorText(rc).c_str());
        return kExitFailed;
    }
    if (DWORD rc = SavePrinterOrder(r.session.Printer(), r.list); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix presets %s: the order of the presets could not be stored: %s\n", verb,
                ErrorText(rc).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int Save(Run& r, const PresetArgs& a) {
    const uint32_t scope = a.shared ? kSharedScope : kPersonalScope;
    const WString name = nvx::WFromUtf8(a.operands[0]);
    const WString comment = nvx::WFromUtf8(a.comment);
    if (!CheckName("save", r.list, name, scope) || !CheckRoom("save", r, scope)) return kExitFailed;
    if (comment.size() > kMaxCommentChars) {
        fprintf(stderr, "novrix presets save: a comment takes at most %zu characters\n", kMaxCommentChars);
        return kExitFailed;
    }
    EasySetEntry entry;
    if (!MakeEntry(r.env, r.Record(), MakeHeader(r.env, name, comment, 0, 0, 0), scope, &entry)) {
        fprintf(stderr, "novrix presets save: the settings could not be written as a preset\n");
        return kExitFailed;
    }
    r.list.Add(std::move(entry));
    Select(r.list, static_cast<int>(r.list.Count()) - 1);
    if (int rc = SaveList(r, scope, "save"); rc != kExitOk) return rc;
    SetRecordPreset(r.Record(), scope == kSharedScope ? kKindShared : kKindPersonal, name);
    if (int rc = StorePreferences(r, "save"); rc != kExitOk) return rc;
    printf("Saved your preferences as the %s preset \"%s\".\n", scope == kSharedScope ? "shared" : "personal",
           Utf8(name).c_str());
    return kExitOk;
}

int Delete(Run& r, const PresetArgs& a) {
    const int i = FindNamed(r.list, a.operands[0], a.shared);
    if (i < 0) return NoSuchPreset("delete", a.operands[0], a.shared);
    const EasySetEntry e = r.list.entries[i];
    if (e.isDefault) {
        fprintf(stderr, "novrix presets delete: the Default entry is built in and stays\n");
        return kExitFailed;
    }
    if (e.scope == kSharedScope && !r.admin) {
        fprintf(stderr, "novrix presets delete: only a user who may administer \"%s\" deletes shared presets\n",
                r.session.PrinterName().c_str());
        return kExitFailed;
    }
    r.list.entries.erase(r.list.entries.begin() + i);
    if (int rc = SaveList(r, e.scope, "delete"); rc != kExitOk) return rc;
    printf("Deleted the %s preset \"%s\".\n", ScopeWord(e), Utf8(e.Name()).c_str());
    return kExitOk;
}

int Move(Run& r, const PresetArgs& a) {
    const int i = FindNamed(r.list, a.operands[0], a.shared);
    if (i < 0) return NoSuchPreset("move", a.operands[0], a.shared);
    const bool up = a.operands[1] == "up";
    const int to = up ? i - 1 : i + 1;
    const std::string name = Utf8(r.list.entries[i].Name());
    if (to < 0 || to >= static_cast<int>(r.list.Count())) {
        printf("\"%s\" is %s already; nothing changed.\n", name.c_str(), up ? "first" : "last");
        return kExitOk;
    }
    std::swap(r.list.entries[i], r.list.entries[to]);
    if (DWORD rc = SavePrinterOrder(r.session.Printer(), r.list); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix presets move: the order could not be stored: %s\n", ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("Moved \"%s\" %s: it is number %d of %zu.\n", name.c_str(), up ? "up" : "down", to + 1, r.list.Count());
    return kExitOk;
}

int Export(Run& r, const PresetArgs& a) {
    const int i = FindNamed(r.list, a.operands[0], a.shared);
    if (i < 0) return NoSuchPreset("export", a.operands[0], a.shared);
    const EasySetEntry& e = r.list.entries[i];
    const SettingsDoc doc = EntryDocument(e);
    if (DWORD rc = SaveSettingsFile(nvx::WFromUtf8(a.operands[1]), doc); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix presets export: cannot write %s: %s (an existing file was left as it was)\n",
                EchoText(a.operands[1]).c_str(), ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("Exported the preset \"%s\" to %s.\n", Utf8(e.Name()).c_str(), EchoText(a.operands[1]).c_str());
    return kExitOk;
}

std::string RefusalText(const ImportVerdict& v, const std::string& file, const WString& name) {
    auto u8 = [](const WString& s) { return Utf8(s); };
    switch (v.message) {
    case 30: return file + " names no preset ([EasySetName] name is empty; give one with --name)";
    case 31: return "you have a preset \"" + u8(name) + "\" already (give another name with --name)";
    case 87: return file + " was made for the system \"" + u8(v.args[0]) + "\", this is \"" + u8(v.args[1]) + "\"";
    case 88: return file + " was made by driver version \"" + u8(v.args[0]) + "\" (this is \"" + u8(v.args[1]) +
                    "\"); the import was declined (--yes imports it)";
    case 256: return file + " was made for the printer model \"" + u8(v.args[0]) + "\", this printer is \"" +
                     u8(v.args[1]) + "\"";
    default:
        return file + " is not a preset file of this driver and language ([DriverInfo] versionnum must be 1, "
                      "language that of the driver)";
    }
}

int Import(Run& r, const PresetArgs& a) {
    const std::string file = EchoText(a.operands[0]);
    SettingsDoc doc;
    if (DWORD rc = LoadSettingsFile(nvx::WFromUtf8(a.operands[0]), &doc); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix presets import: cannot read %s: %s\n", file.c_str(), ErrorText(rc).c_str());
        return kExitFailed;
    }
    EasySetHeader header{};
    ReadHeader(doc, header);
    WString name = a.hasName ? nvx::WFromUtf8(a.newName) : WString(header.name, nvx::WLenBounded(header.name, 32));
    if (name.size() > kMaxNameChars) {
        fprintf(stderr, "novrix presets import: a preset name takes at most %zu characters\n", kMaxNameChars);
        return kExitFailed;
    }
    ImportEnvironment ie;
    ie.driverName = r.env.driverName;
    ie.language = r.env.language;
    for (const EasySetEntry& e : r.list.entries)
        if (e.scope == kPersonalScope) ie.personalPresetNames.push_back(e.Name());
    const ImportVerdict verdict = CheckImport(&doc, name, ie);
    if (verdict.message != 0 && !(verdict.question() && a.answer > 0)) {
        fprintf(stderr, "novrix presets import: %s; nothing was changed\n", RefusalText(verdict, file, name).c_str());
        return kExitFailed;
    }
    if (!CheckRoom("import", r, kPersonalScope)) return kExitFailed;
    EasySetHeader h = MakeHeader(r.env, name, WString(header.comment, nvx::WLenBounded(header.comment, 256)), 0,
                                 header.iconEnabled, header.iconNumber);
    EasySetEntry entry;
    if (!EntryFromText(std::move(doc), h, kPersonalScope, &entry)) {
        fprintf(stderr, "novrix presets import: %s could not be taken as a preset\n", file.c_str());
        return kExitFailed;
    }
    r.list.Add(std::move(entry));
    if (int rc = SaveList(r, kPersonalScope, "import"); rc != kExitOk) return rc;
    printf("Imported %s as your preset \"%s\".\n", file.c_str(), Utf8(name).c_str());
    return kExitOk;
}

}  // namespace

int CmdPresets(const Options& options, const std::vector<std::string>& args) {
    PresetArgs a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    const bool changes = a.verb != "list" && a.verb != "export";
    std::unique_ptr<StoreLock> lock;
    if (changes) lock = std::make_unique<StoreLock>();
    Run r;
    std::string error;
    if (!r.session.Open(options, a.printer, &error)) {
        fprintf(stderr, "novrix presets: %s\n", error.c_str());
        return kExitFailed;
    }
    r.model.Load(PrinterDriverFolder(r.session.Printer(), options));
    if (!r.Load(&error)) {
        fprintf(stderr, "novrix presets: %s\n", error.c_str());
        return kExitFailed;
    }
    if (a.verb == "list") return List(r);
    if (a.verb == "apply") return Apply(r, a);
    if (a.verb == "save") return Save(r, a);
    if (a.verb == "delete") return Delete(r, a);
    if (a.verb == "move") return Move(r, a);
    if (a.verb == "export") return Export(r, a);
    return Import(r, a);
}

}  // namespace novrix
