// novrix fax cover: the printer's current fax cover sheet and the user's named
// cover sheet sets, as the module keeps them in the per-user store.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "echo.h"
#include "fax/cover_sheet.h"
#include "model/stores.h"
#include "store.h"

namespace novrix {
namespace {

using namespace nvx::fax;

void CoverUsage(FILE* out) {
    fprintf(out,
            "usage: novrix fax cover show [--printer NAME]\n"
            "       novrix fax cover save NAME [--printer NAME]     keep the current cover sheet as a named set\n"
            "       novrix fax cover use NAME [--printer NAME]      make a named set the current cover sheet\n"
            "       novrix fax cover delete NAME [--printer NAME]   delete a named set\n"
            "The printer defaults to the default printer.  A set holds the basic, sender and image\n"
            "parts; using one keeps the current recipient part.  Set names have 1 to %zu characters.\n",
            kSetNameChars);
}

struct CoverArgs {
    std::string action, name, printer;
};

bool ParseArgs(const std::vector<std::string>& args, CoverArgs* out) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--printer" && i + 1 < args.size()) {
            out->printer = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            fprintf(stderr, "novrix fax cover: unknown option %s\n", EchoText(args[i]).c_str());
            return false;
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.empty()) {
        fprintf(stderr, "novrix fax cover: name an action (show, save, use, delete)\n");
        return false;
    }
    out->action = words[0];
    bool wantsName = out->action == "save" || out->action == "use" || out->action == "delete";
    if (out->action != "show" && !wantsName) {
        fprintf(stderr, "novrix fax cover: unknown action '%s'\n", EchoText(out->action).c_str());
        return false;
    }
    if (words.size() != (wantsName ? 2u : 1u)) {
        fprintf(stderr, wantsName ? "novrix fax cover %s: name one set\n" : "novrix fax cover %s: takes no name\n",
                out->action.c_str());
        return false;
    }
    if (wantsName) out->name = words[1];
    return true;
}

// The printer and its driver, as the store's key names them.
struct Target {
    nvx::WString printer, driver;
};

bool FindTarget(const std::string& wanted, Target* target) {
    std::string name = wanted.empty() ? DefaultPrinterName() : wanted;
    if (name.empty()) {
        fprintf(stderr, "novrix fax cover: there is no default printer; name one with --printer\n");
        return false;
    }
    for (const PrinterEntry& p : ListPrinters()) {
        if (p.name != name) continue;
        target->printer = nvx::WFromUtf8(p.name);
        target->driver = nvx::WFromUtf8(p.driver);
        return true;
    }
    fprintf(stderr, "novrix fax cover: unknown printer \"%s\" (novrix printer list shows them)\n",
            EchoText(name).c_str());
    return false;
}

std::string Text(const nvx::WString& text) {
    return nvx::Utf8FromW(text);
}

const char* OnOff(uint8_t flag) {
    return flag ? "on" : "off";
}

void PrintRecord(const CoverSheetRecord& r, const std::vector<CoverSheetSet>& sets) {
    int match = MatchingSet(sets, r);
    printf("Cover sheet set: %s\n", match >= 0 ? Text(FieldText(sets[static_cast<size_t>(match)].name)).c_str()
                                               : "(untitled)");
    printf("Cover size: %u\n", r.coverSize);
    const CoverBasic& b = r.basic;
    printf("Basic:\n");
    printf("  Style: FcsBStyle%02u\n", b.style);
    printf("  Subject: %s \"%s\"\n", OnOff(b.subjectOn), Text(FieldText(b.subject)).c_str());
    printf("  Date: %s, ", OnOff(b.dateOn));
    if (b.dateMode == 0) {
        printf("form %u\n", b.dateForm);
    } else {
        printf("typed \"%s\"\n", Text(FieldText(b.typedDate)).c_str());
    }
    printf("  Page count: %s, %u including the cover\n", OnOff(b.pagesOn), b.pageCount);
    std::vector<nvx::WString> lines = CommentLines(b);
    printf("  Comment:%s\n", lines.size() == 1 && lines[0].empty() ? " (none)" : "");
    if (!(lines.size() == 1 && lines[0].empty())) {
        for (const nvx::WString& line : lines) printf("    %s\n", Text(line).c_str());
    }
    const CoverRecipient& rc = r.recipient;
    printf("Recipient:\n");
    if (rc.mode == 0) {
        printf("  Standard title: \"%s\"\n", Text(FieldText(rc.title)).c_str());
    } else {
        static const char* const kSources[] = {"one joint name", "changed for each recipient", "set information"};
        printf("  Details (%s):\n", kSources[rc.source < kRecipientSourceCount ? rc.source : 0]);
        printf("    Company: %s \"%s\"\n", OnOff(rc.companyOn), Text(FieldText(rc.company)).c_str());
        printf("    Department: %s \"%s\"\n", OnOff(rc.departmentOn), Text(FieldText(rc.department)).c_str());
        printf("    Name: %s \"%s\"\n", OnOff(rc.nameOn), Text(FieldText(rc.name)).c_str());
        printf("    Fax number: %s \"%s\"\n", OnOff(rc.faxOn), Text(FieldText(rc.fax)).c_str());
    }
    static const char* const kSender[kSenderItems] = {"Company", "Department", "Name", "Phone", "Fax number",
                                                      "E-mail"};
    printf("Sender:\n");
    for (size_t i = 0; i < kSenderItems; ++i) {
        printf("  %s: %s \"%s\"\n", kSender[i], OnOff(r.sender.items[i].on),
               Text(FieldText(r.sender.items[i].text)).c_str());
    }
    const CoverImage& im = r.image;
    printf("Image: %s", OnOff(im.paste));
    if (im.paste) {
        printf(", \"%s\", zoom %s %u%%, position %d, %d", Text(FieldText(im.file)).c_str(), OnOff(im.zoomOn), im.zoom,
               im.x, im.y);
    }
    printf("\n");
    printf("Named sets:%s\n", sets.empty() ? " (none)" : "");
    for (size_t i = 0; i < sets.size(); ++i) {
        printf("  %s%s\n", Text(FieldText(sets[i].name)).c_str(), static_cast<int>(i) == match ? "  (current)" : "");
    }
}

}  // namespace

int RunFaxCover(const Options& options, const std::vector<std::string>& args) {
    (void)options;
    if (!args.empty() && (args[0] == "--help" || args[0] == "help")) {
        CoverUsage(stdout);
        return kExitOk;
    }
    CoverArgs a;
    if (!ParseArgs(args, &a)) {
        CoverUsage(stderr);
        return kExitUsage;
    }
    Target t;
    if (!FindTarget(a.printer, &t)) return kExitFailed;
    const WCHAR* maker = nvx::model::MakerName();
    CoverSheetRecord record = DefaultCoverSheet();
    if (!ReadCoverSheet(maker, t.driver.c_str(), t.printer.c_str(), &record)) {
        fprintf(stderr, "novrix fax cover: the cover sheet of \"%s\" cannot be read\n", Text(t.printer).c_str());
        return kExitFailed;
    }
    std::vector<CoverSheetSet> sets = ReadSets(maker, t.driver.c_str(), t.printer.c_str());
    if (a.action == "show") {
        PrintRecord(record, sets);
        return kExitOk;
    }

    nvx::WString name = nvx::WFromUtf8(a.name);
    const std::string echo = EchoText(a.name);
    if (a.action == "use") {
        int i = FindSet(sets, name);
        if (i < 0) {
            fprintf(stderr, "novrix fax cover use: there is no set named \"%s\"\n", echo.c_str());
            return kExitFailed;
        }
        ApplySet(sets[static_cast<size_t>(i)], &record);
        if (DWORD rc = WriteCoverSheet(maker, t.driver.c_str(), t.printer.c_str(), record); rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix fax cover use: the cover sheet was not stored (%s)\n", ErrorText(rc).c_str());
            return kExitFailed;
        }
        printf("The cover sheet of %s is now the set \"%s\".\n", Text(t.printer).c_str(), echo.c_str());
        return kExitOk;
    }

    if (a.action == "save") {
        switch (AppendSet(&sets, name, record)) {
        case SaveSetResult::Saved:
            break;
        case SaveSetResult::EmptyName:
            fprintf(stderr, "novrix fax cover save: the name is empty\n");
            return kExitFailed;
        case SaveSetResult::NameTooLong:
            fprintf(stderr, "novrix fax cover save: a set name has at most %zu characters\n", kSetNameChars);
            return kExitFailed;
        case SaveSetResult::NameTaken:
            fprintf(stderr, "novrix fax cover save: a set named \"%s\" already exists\n", echo.c_str());
            return kExitFailed;
        case SaveSetResult::Full:
            fprintf(stderr, "novrix fax cover save: there are already %zu sets; delete one first\n", kMaxSets);
            return kExitFailed;
        }
    } else {  // delete
        int i = FindSet(sets, name);
        if (i < 0) {
            fprintf(stderr, "novrix fax cover delete: there is no set named \"%s\"\n", echo.c_str());
            return kExitFailed;
        }
        sets.erase(sets.begin() + i);
    }
    SetsWrite w = WriteSets(maker, t.driver.c_str(), t.printer.c_str(), sets);
    if (!w.ok()) {
        fprintf(stderr, "novrix fax cover %s: only %u of %zu sets were stored (%s)\n", a.action.c_str(), w.written,
                sets.size(), ErrorText(w.error).c_str());
        return kExitFailed;
    }
    printf(a.action == "save" ? "Saved the set \"%s\".\n" : "Deleted the set \"%s\".\n", echo.c_str());
    return kExitOk;
}

}  // namespace novrix
