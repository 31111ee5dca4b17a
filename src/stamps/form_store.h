// The user's list of overlay form files and the check before a job prints.
//
// Per-user key of the printer ("Software\<maker>\<driver>\<printer>"):
//
//   "FormCount"        REG_DWORD  number of form slots
//   "SharedFormCount"  REG_DWORD  leading slots that belong to shared forms (not read here)
//   "Form%d"           REG_SZ     full path of a form file, from 1 (at most 1040 bytes)
//   "FormInitialDir"   REG_SZ     folder last used in the form file dialog
//
// Shared forms are the "*.VFO" files of the printer's shared form folder (the
// printer data value "OverlaySharedFolder", set by whoever administers the
// printer).  A sheet lists the shared forms first, then the user's own; a form
// position ("nFormListPos") counts in that list, so a position below the number of
// shared forms names a shared form.
//
// Paths and files are outside data: a stored path that is empty, too long or points
// into the shared folder is left out.  A stored path whose file is gone or is not a
// form file keeps its place as an unusable entry: the forms after it keep their
// positions, which settings records hold, and the record that chose it finds it gone
// rather than silently naming the next form.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"
#include "model/stores.h"
#include "platform/win32.h"
#include "stamps/form_file.h"

struct OEMDEV;

namespace nvx::stamps {

inline constexpr const WCHAR* kFormCountValue = WL("FormCount");
inline constexpr const WCHAR* kSharedFormCountValue = WL("SharedFormCount");
inline constexpr const WCHAR* kFormInitialDirValue = WL("FormInitialDir");
inline constexpr const WCHAR* kSharedFormFolderValue = WL("OverlaySharedFolder");
// A "Form%d" value holds at most 1040 bytes (519 characters and the terminator).
inline constexpr DWORD kFormPathValueBytes = 1040;
// Paths kept in a list: at most 259 characters.
inline constexpr size_t kFormPathChars = 259;
// Slots read at most: a damaged count never makes the reader loop without end.
inline constexpr uint32_t kMaxFormSlots = 1000;

struct FormEntry {
    WString path;
    FormHeader header{};
    bool shared = false;
    bool usable = false;  // the file was a form file when the list was read
};

struct FormList {
    std::vector<FormEntry> forms;  // shared first, then the user's own
    size_t sharedCount = 0;
    WString sharedFolder;          // empty when none is set
};

// Whether a path lies directly or deeper in a folder (letters compared without
// case, either separator).
bool PathInFolder(WStringView path, WStringView folder);

// Reads the user's forms from a store (the per-user key) and the shared forms from
// the folder (empty: none).
FormList ReadFormList(const model::ValueStore& userStore, const WString& sharedFolder);
// Writes the user's forms: "SharedFormCount" = the shared forms listed, "Form%d"
// numbered after them (stopping at the first failure), "FormCount" = the last
// number written, then deletes the slots a longer old list left.  Answers the first
// failure or ERROR_SUCCESS.
DWORD WriteFormList(const model::ValueStore& userStore, const FormList& list);

// The printer's shared form folder ("OverlaySharedFolder" in its data), or empty.
WString SharedFormFolder(HANDLE printer);
// Sets it (needs a handle with administer access); an empty folder removes the value.
DWORD SetSharedFormFolder(HANDLE printer, const WString& folder);
// Whether the folder is set and exists.
bool SharedFolderReachable(const WString& folder);

// A printer's list (per-user key and shared folder), and its saving.
FormList LoadFormList(HANDLE printer);
DWORD SaveFormList(HANDLE printer, const FormList& list);

// Adds a user form: refuses (false) a path that is not a form file, too long, in
// the shared folder or already listed.  `why` names the reason for a refusal.
enum class FormAdd { Done, NotAForm, TooLong, InSharedFolder, AlreadyListed };
FormAdd AddForm(FormList* list, const WString& path);
// Removes the user form at a list position (false for a shared or missing one).
bool RemoveForm(FormList* list, size_t position);

// ---- The check before printing ---------------------------------------------------

// The model's overlay kind (0 none, 1 flag, 2 operation) and host overlay support.
struct OverlayModel {
    int kind = 0;
    bool hostOverlay = false;
};
OverlayModel CurrentOverlayModel();

// Whether overlay printing is on for a record: kind 1 and "bOverlay", or kind 2 and
// the overlay operation "nOverlay_Switch_op" = 2 (print a host form).
bool OverlayPrintingOn(const OEMDEV& record, const OverlayModel& model);

// What the check before a job finds.
enum class FormCheck {
    Go,            // overlay off, or the chosen forms are there
    FormMissing,   // the chosen form is gone or no longer a form file: ask whether to go on
    SharedMissing, // a chosen shared form is gone: tell and cancel
};
FormCheck CheckChosenForms(const OEMDEV& record, const OverlayModel& model, const FormList& list);

// The initialisation of the tab: when overlay printing is on and the chosen form (or
// the form for other pages) is gone, the overlay is switched off ("bOverlay" 0,
// "nFormListPos" -1, an operation of 2 made 0).  Answers whether it changed the record.
bool DropMissingForms(OEMDEV& record, const OverlayModel& model, const FormList& list);

}  // namespace nvx::stamps
