// novrix settings: the user's printing preferences as a settings file and back.
//
//   novrix settings export FILE [--printer NAME] [--name NAME] [--comment TEXT]
//   novrix settings import FILE [--printer NAME] [--yes|--no]
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "answers.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "commands.h"
#include "echo.h"
#include "platform/ui_host.h"
#include "presets/settings_exchange.h"
#include "sheet_session.h"
#include "stamps/watermark_store.h"
#include "store.h"

namespace novrix {
namespace {

using nvx::WString;
using namespace nvx::presets;

// The language code of the header: the model data has no language identifier
// (the package's tables carry none) and the module's language table is empty, so
// every model's texts are of this identifier and its code "0409" stands.
constexpr uint16_t kModelLanguageId = 0x0409;
constexpr const char* kExportCaption = "Export Settings";
constexpr const char* kImportCaption = "Import Settings";

void SettingsUsage(FILE* out) {
    fprintf(out,
            "usage: novrix settings export FILE [--printer NAME] [--name NAME] [--comment TEXT]\n"
            "       novrix settings import FILE [--printer NAME] [--yes|--no]\n"
            "export writes your printing preferences of the printer (the default printer without\n"
            "--printer) as a settings file: UTF-8 text with CR LF line ends, sections [DriverInfo],\n"
            "[EasySetName] and [OEMDEV] with one key=value line per setting, then the printer's\n"
            "watermarks ([Watermark_Public], [Watermark_Private], [Watermark_Order]).  --name and\n"
            "--comment fill [EasySetName] (the name defaults to the printer's name).\n"
            "import checks that the file is a settings file of this driver, model, system and\n"
            "language, then stores its settings as your preferences for the printer and its\n"
            "watermarks as yours (the shared ones only if you may administer the printer).  A file of\n"
            "another driver version is a Yes/No question: --yes imports it, --no (the default\n"
            "without a terminal) does not.  Exit codes: 0 done, 1 refused or failed, 2 usage.\n");
}

struct SettingsArgs {
    std::string verb, file, printer, name, comment;
    bool hasName = false;
    AutoAnswer answer = AutoAnswer::None;
};

int ParseArgs(const std::vector<std::string>& args, SettingsArgs* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == "--help") {
            SettingsUsage(stdout);
            return -1;
        } else if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--name" && hasValue) {
            out->name = args[++i];
            out->hasName = true;
        } else if (a == "--comment" && hasValue) {
            out->comment = args[++i];
        } else if (a == "--yes" || a == "--no") {
            if (out->answer != AutoAnswer::None) {
                fprintf(stderr, "novrix settings: give --yes or --no once\n");
                return kExitUsage;
            }
            out->answer = a == "--yes" ? AutoAnswer::Yes : AutoAnswer::No;
        } else if (a.rfind("--", 0) == 0) {
            fprintf(stderr, "novrix settings: unexpected option '%s'\n", EchoText(a).c_str());
            SettingsUsage(stderr);
            return kExitUsage;
        } else if (out->verb.empty()) {
            out->verb = a;
        } else if (out->file.empty()) {
            out->file = a;
        } else {
            fprintf(stderr, "novrix settings: unexpected argument '%s'\n", EchoText(a).c_str());
            SettingsUsage(stderr);
            return kExitUsage;
        }
    }
    if (out->verb != "export" && out->verb != "import") {
        fprintf(stderr, out->verb.empty() ? "novrix settings: say export or import\n"
                                          : "novrix settings: unknown action '%s' (export or import)\n",
                EchoText(out->verb).c_str());
        SettingsUsage(stderr);
        return kExitUsage;
    }
    if (out->file.empty()) {
        fprintf(stderr, "novrix settings %s: name the FILE\n", out->verb.c_str());
        return kExitUsage;
    }
    if (out->verb == "export" && out->answer != AutoAnswer::None) {
        fprintf(stderr, "novrix settings export: --yes/--no go with import\n");
        return kExitUsage;
    }
    if (out->verb == "import" && (out->hasName || !out->comment.empty())) {
        fprintf(stderr, "novrix settings import: --name/--comment go with export\n");
        return kExitUsage;
    }
    return kExitOk;
}

// The printer's driver name, its driver folder's resource library and its model's
// resolution table.
struct PrinterFacts {
    std::string driver;
    HMODULE resources = nullptr;
    std::vector<std::array<int32_t, 4>> resolutions;
    ~PrinterFacts() {
        if (resources) FreeLibrary(resources);
    }
};

// The model's resolution table as the module reads it from the model data: each
// resolution item's horizontal, vertical and combined resolution and bits per
// pixel, in list order.  Empty when the model data cannot be read.
std::vector<std::array<int32_t, 4>> ModelResolutions(const std::string& folder) {
    std::vector<std::array<int32_t, 4>> table;
    WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) return table;
    nvx::model::ModelTables tables;
    if (!nvx::features::BuildModelRecord(*pkg, tables)) return table;
    if (const uint8_t* list = tables.record->ListData("Resolution")) {
        for (size_t k = 0, n = nvx::features::ListCount(list); k < n; ++k) {
            const auto* data = reinterpret_cast<const nvx::features::ResolutionData*>(
                nvx::features::RecordAt(list, k) + nvx::features::kModelDataAt);
            nvx::features::ResolutionData r;
            std::memcpy(&r, data, sizeof r);
            table.push_back({r.horizontal, r.vertical, r.diagonal, r.bitsPerPixel});
        }
    }
    nvx::features::FreeModelRecord(tables.record);
    tables.record = nullptr;
    return table;
}

void LoadFacts(const Options& options, const std::string& printer, PrinterFacts* facts) {
    for (const PrinterEntry& e : ListPrinters())
        if (e.name == printer) facts->driver = e.driver;
    PrinterHandle handle;
    if (handle.Open(printer) != ERROR_SUCCESS) return;
    std::string folder = PrinterDriverFolder(handle.get(), options);
    WString path = nvx::WFromUtf8(folder + "/NOVRIX_S.DLL");
    facts->resources = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    facts->resolutions = ModelResolutions(folder);
}

// Shows message `number` of the resource library formatted with its two texts, as
// the module's dialogs do (warning icon); answers the button pressed.
int ShowMessage(const PrinterFacts& facts, const char* caption, const ImportVerdict& verdict, UINT buttons) {
    WCHAR format[512] = {};
    if (!facts.resources || LoadStringW(facts.resources, verdict.message, format, 512) <= 0)
        nvx::WFormat(format, 512, WL("Message %u: %s %s"), verdict.message, WL("%s"), WL("%s"));
    WCHAR text[1024];
    nvx::WFormat(text, 1024, format, verdict.args[0].c_str(), verdict.args[1].c_str());
    WString wcaption = nvx::WFromUtf8(caption);
    return MessageBoxW(nullptr, text, wcaption.c_str(), buttons | MB_ICONWARNING);
}

ImportVerdict Message(unsigned number) {
    ImportVerdict v;
    v.message = number;
    return v;
}

EasySetHeader CurrentHeader(const std::string& driver, const std::string& name, const std::string& comment) {
    EasySetHeader h{};
    h.magic = kEasySetMagic;
    h.formatVersion = kEasySetFormatVersion;
    nvx::WCopy(h.name, 32, nvx::WFromUtf8(name));
    nvx::WCopy(h.comment, 256, nvx::WFromUtf8(comment));
    nvx::WCopy(h.model, 37, nvx::WFromUtf8(driver));
    nvx::WCopy(h.version, 16, kEasySetVersionString);
    nvx::WCopy(h.system, 32, kEasySetSystem);
    nvx::WCopy(h.language, 8, LanguageCode(kModelLanguageId));
    return h;
}

// The rules of this printer's model.  The resolution table is the model's: after
// the resolution group is read, the record's index follows its four values.  The
// copy-protect kind and the second adjustment layout of other objects are no fact
// of the model data or the variant table, so they keep their defaults (0: the
// record's copy protection is written as it stands; false: the first layout).
RecordExchangeRules ImportRules(const PrinterFacts& facts) {
    RecordExchangeRules rules = RecordExchangeRules::FromVariants();
    rules.resolutions = facts.resolutions;
    // A settings file replaces the preferences whole: paper and resolution included,
    // and the watermark lists with their order (the shared list only where the user
    // may administer the printer: Import asks the store).
    rules.options[kIncludePaper] = 1;
    rules.options[kIncludeResolution] = 1;
    rules.options[kIncludeWatermarks] = 1;
    rules.options[kIncludeSharedWatermarks] = 1;
    return rules;
}

// The printer's stored watermark lists as the settings text carries them.
WatermarkLists StoredLists(HANDLE printer) {
    const nvx::stamps::WatermarkSet set = nvx::stamps::LoadWatermarks(printer);
    WatermarkLists lists;
    auto copy = [](const auto& from, auto* to) {
        for (const auto& r : from) {
            to->emplace_back();
            std::memcpy(to->back().data(), &r, to->back().size());
        }
    };
    copy(set.shared, &lists.shared);
    copy(set.personal, &lists.personal);
    copy(set.order, &lists.order);
    return lists;
}

// Lists read from a file back into the store's records; false when a record is
// not one the store could read back (a text without its end).
bool ToStoreRecords(const std::vector<WatermarkRecord>& from, std::vector<nvx::stamps::WatermarkRecord>* to) {
    to->clear();
    for (const WatermarkRecord& r : from) {
        nvx::stamps::WatermarkRecord out;
        if (!nvx::stamps::DecodeWatermark(r.data(), r.size(), &out)) return false;
        to->push_back(out);
    }
    return true;
}
bool ToStoreOrder(const std::vector<WatermarkOrderRecord>& from, std::vector<nvx::stamps::WatermarkOrderRecord>* to) {
    to->clear();
    for (const WatermarkOrderRecord& r : from) {
        nvx::stamps::WatermarkOrderRecord out;
        if (!nvx::stamps::DecodeOrderRecord(r.data(), r.size(), &out)) return false;
        to->push_back(out);
    }
    return true;
}

// A file error in words.
std::string FileErrorText(DWORD rc) {
    switch (rc) {
    case ERROR_FILE_NOT_FOUND: return "there is no such file";
    case ERROR_PATH_NOT_FOUND: return "its folder does not exist";
    case ERROR_ACCESS_DENIED: return "access is denied (a read-only file or folder?)";
    case ERROR_FILE_TOO_LARGE: return "it is too large for a settings file";
    case ERROR_INVALID_DATA: return "it is no text (it holds NUL bytes)";
    case ERROR_DISK_FULL: return "the disk is full";
    default: return ErrorText(rc);
    }
}

int Export(SheetSession& session, const PrinterFacts& facts, const SettingsArgs& a) {
    std::string name = a.hasName ? a.name : session.PrinterName();
    if (nvx::WFromUtf8(name).size() > 31 || nvx::WFromUtf8(a.comment).size() > 255) {
        fprintf(stderr, "novrix settings export: the name takes at most 31 characters, the comment 255\n");
        return kExitUsage;
    }
    if (name.empty()) {
        fprintf(stderr, "novrix settings export: the name must not be empty (an import refuses such a file)\n");
        return kExitUsage;
    }
    EasySetHeader header = CurrentHeader(facts.driver, name, a.comment);
    SettingsDoc doc;
    OEMDEV record;
    std::memcpy(record.bytes, session.Record(), sizeof record.bytes);
    WatermarkLists lists = StoredLists(session.Printer());
    bool ok = BuildPresetText(doc, header, record, lists, ImportRules(facts));
    DWORD rc = ok ? SaveSettingsFile(nvx::WFromUtf8(a.file), doc) : ERROR_INVALID_DATA;
    if (rc != ERROR_SUCCESS) {
        ShowMessage(facts, kExportCaption, Message(243), MB_OK);
        fprintf(stderr, "novrix settings export: cannot write %s: %s (an existing file was left as it was)\n",
                EchoText(a.file).c_str(), FileErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("Exported the preferences of %s to %s.\n", session.PrinterName().c_str(), EchoText(a.file).c_str());
    return kExitOk;
}

// True when the file's lines end in LF alone: it reads as one line.
bool LinesEndInLfAlone(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.find('\n') != std::string::npos && bytes.find("\r\n") == std::string::npos;
}

// The refusal in novrix's own words.
std::string RefusalText(const ImportVerdict& v, const std::string& file) {
    std::string f = EchoText(file);
    auto u8 = [](const WString& s) { return EchoText(nvx::Utf8FromW(s)); };
    switch (v.message) {
    case 30: return f + " names no settings ([EasySetName] name is empty)";
    case 31: return "a preset named like " + f + "'s settings exists already";
    case 87: return f + " was made for the system \"" + u8(v.args[0]) + "\", this is \"" + u8(v.args[1]) + "\"";
    case 88: return f + " was made by driver version \"" + u8(v.args[0]) + "\" (this is \"" + u8(v.args[1]) +
                    "\"); the import was declined (--yes imports it)";
    case 256: return f + " was made for the printer model \"" + u8(v.args[0]) + "\", this printer is \"" +
                     u8(v.args[1]) + "\"";
    default:
        return f + " is not a settings file of this driver and language ([DriverInfo] versionnum must be 1, "
                   "language that of the driver)";
    }
}

// The file's watermark sections replace the stored lists: the shared list (only when
// it differs and the user may administer the printer; else it stays, with a note),
// then the user's list and order.  A section that does not read leaves its list as
// stored and is named in *failed.  The record's chosen watermark then follows the
// stored lists.  False (with the error printed) when a store refused.
bool ImportWatermarks(SheetSession& session, SettingsDoc& doc, const RecordExchangeRules& rules, OEMDEV* record,
                      std::vector<std::string>* failed) {
    namespace st = nvx::stamps;
    const WatermarkLists stored = StoredLists(session.Printer());
    WatermarkLists read = stored;
    st::WatermarkSet set;
    const bool sharedRead = ExchangeWatermarkList(Direction::Read, true, doc, read.shared, rules.options) &&
                            ToStoreRecords(read.shared, &set.shared);
    const bool personalRead = ExchangeWatermarkList(Direction::Read, false, doc, read.personal, rules.options) &&
                              ToStoreRecords(read.personal, &set.personal);
    const bool orderRead = ExchangeWatermarkOrder(Direction::Read, doc, read.order, rules.options) &&
                           ToStoreOrder(read.order, &set.order);
    if (!sharedRead) failed->push_back("[Watermark_Public]");
    if (!personalRead) failed->push_back("[Watermark_Private]");
    if (!orderRead) failed->push_back("[Watermark_Order]");
    if (sharedRead && read.shared != stored.shared) {
        const WString name = nvx::WFromUtf8(session.PrinterName());
        DWORD rc = st::SaveSharedWatermarks(name.c_str(), set.shared);
        if (rc == ERROR_ACCESS_DENIED) {
            printf("The shared watermarks of the file were not taken: only a user who may administer \"%s\" "
                   "changes them.\n",
                   EchoText(session.PrinterName()).c_str());
        } else if (rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix settings import: the shared watermarks could not be stored: %s\n",
                    ErrorText(rc).c_str());
            return false;
        }
    }
    if ((personalRead && read.personal != stored.personal) || (orderRead && read.order != stored.order)) {
        st::WatermarkSet own;
        // A list that did not read is written back as it was stored.
        if (personalRead)
            own.personal = set.personal;
        else
            ToStoreRecords(stored.personal, &own.personal);
        if (orderRead)
            own.order = set.order;
        else
            ToStoreOrder(stored.order, &own.order);
        if (DWORD rc = st::SavePrivateWatermarks(session.Printer(), own); rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix settings import: your watermarks could not be stored: %s\n", ErrorText(rc).c_str());
            return false;
        }
    }
    st::FollowChosenWatermark(*record, st::LoadWatermarks(session.Printer()));
    return true;
}

int Import(SheetSession& session, const PrinterFacts& facts, const SettingsArgs& a) {
    SettingsDoc doc;
    DWORD rc = LoadSettingsFile(nvx::WFromUtf8(a.file), &doc);
    if (rc != ERROR_SUCCESS) {
        ShowMessage(facts, kImportCaption, Message(89), MB_OK);
        fprintf(stderr, "novrix settings import: cannot read %s: %s\n", EchoText(a.file).c_str(),
                FileErrorText(rc).c_str());
        return kExitFailed;
    }
    EasySetHeader header{};
    ReadHeader(doc, header);
    ImportEnvironment env;
    env.driverName = nvx::WFromUtf8(facts.driver);
    env.language = LanguageCode(kModelLanguageId);
    WString name(header.name, nvx::WLenBounded(header.name, 32));
    ImportVerdict verdict = CheckImport(&doc, name, env);
    if (verdict.message != 0) {
        int answer = ShowMessage(facts, kImportCaption, verdict, verdict.question() ? MB_YESNO | MB_DEFBUTTON2 : MB_OK);
        if (!verdict.question() || answer != IDYES) {
            std::string why = RefusalText(verdict, a.file);
            if (verdict.message != 88 && LinesEndInLfAlone(a.file))
                why = EchoText(a.file) + "'s lines end in LF alone, not CR LF, so the whole file reads as one "
                                         "line and its settings are lost; save it with CR LF line ends";
            fprintf(stderr, "novrix settings import: %s; nothing was changed\n", why.c_str());
            return kExitFailed;
        }
    }
    OEMDEV record;
    std::memcpy(record.bytes, session.Record(), sizeof record.bytes);
    std::vector<std::string> failed;
    const RecordExchangeRules rules = ImportRules(facts);
    bool whole = ExchangeRecord(Direction::Read, doc, record, rules, &failed);
    if (!ImportWatermarks(session, doc, rules, &record, &failed)) return kExitFailed;
    whole &= failed.empty();
    std::memcpy(session.Record(), record.bytes, sizeof record.bytes);
    std::string error;
    if (!session.Store(&error)) {
        ShowMessage(facts, kImportCaption, Message(242), MB_OK);
        fprintf(stderr, "novrix settings import: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!whole) {
        std::string list;
        for (const std::string& k : failed) list += (list.empty() ? "" : ", ") + k;
        fprintf(stderr,
                "novrix settings import: these settings were not taken (the value is no number, does not fit "
                "the setting or is too long): %s; the others were stored\n",
                EchoText(list).c_str());
        return kExitFailed;
    }
    printf("Imported %s as the preferences of %s.\n", EchoText(a.file).c_str(), session.PrinterName().c_str());
    return kExitOk;
}

}  // namespace

int CmdSettings(const Options& options, const std::vector<std::string>& args) {
    SettingsArgs a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    AnswerPolicy policy;
    policy.answer = a.answer;
    bool terminal = isatty(0) != 0;
    policy.prompt = terminal;
    if (!terminal) policy.in = nullptr;  // without a terminal: the default button (No)
    InstallAnswers(&policy);
    struct Uninstall {
        ~Uninstall() { UninstallAnswers(); }
    } uninstall;

    SheetSession session;
    std::string error;
    if (!session.Open(options, a.printer, &error)) {
        fprintf(stderr, "novrix settings: %s\n", error.c_str());
        return kExitFailed;
    }
    PrinterFacts facts;
    LoadFacts(options, session.PrinterName(), &facts);
    return a.verb == "export" ? Export(session, facts, a) : Import(session, facts, a);
}

}  // namespace novrix
