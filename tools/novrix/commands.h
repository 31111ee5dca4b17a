// The novrix commands.
#pragma once

#include <string>

#include "platform/win32.h"
#include <vector>

namespace novrix {

struct Options {
    std::string driverFolder;  // --driver
    std::string root;          // --root: the platform root (registry and printers)
    bool standardUser = false; // --standard-user: act without administrator rights
};

// Each command answers the process exit code: 0 success, 1 a refused or failed
// action, 2 a usage error.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

int CmdInfo(const Options& options, const std::vector<std::string>& args);
int CmdPrinter(const Options& options, const std::vector<std::string>& args);
int CmdPrefs(const Options& options, const std::vector<std::string>& args);
// novrix picture DIR: PNG pictures of the pages, or of the dialogs that presses open.
int CmdPicture(const Options& options, const std::vector<std::string>& args);
// novrix printer properties: the printer's properties (the device option tab), run as prefs runs.
int CmdPrinterOptions(const Options& options, const std::vector<std::string>& args);
// novrix fax: "send" plays the host of a fax job; "cover" runs RunFaxCover.
int CmdFax(const Options& options, const std::vector<std::string>& args);
// novrix fax cover show|edit|save NAME|use NAME|delete NAME.
int RunFaxCover(const Options& options, const std::vector<std::string>& args);
int CmdWatermarks(const Options& options, const std::vector<std::string>& args);
// novrix forms list|add|remove|info|use|shared-folder|make|samples.
int CmdForms(const Options& options, const std::vector<std::string>& args);
int CmdSettings(const Options& options, const std::vector<std::string>& args);
// novrix setup export|import|default|personal|lock FILE, error CODE: the SPRINST_ exports.
int CmdSetup(const Options& options, const std::vector<std::string>& args);
// The line novrix shows when a sheet opens and the device did not answer
// (acquisition code `code`): whether the pages work from cached information, and
// how old it is.
std::string CachedDeviceNote(HANDLE printer, UINT_PTR code);
// novrix device serve|info.
int CmdDevice(const Options& options, const std::vector<std::string>& args);
int CmdPresets(const Options& options, const std::vector<std::string>& args);
// Loads the model's cipher settings from the driver folder's model data, as the
// module reads them, so that this process enciphers and deciphers as the module
// does; false when the model data cannot be read.
bool LoadModelCipher(const std::string& folder);
// novrix auth set|show: user name, department and passwords (never shown).
int CmdAuth(const Options& options, const std::vector<std::string>& args);
// novrix job start [--sso]: the job-start steps against the printer's device.
int CmdJob(const Options& options, const std::vector<std::string>& args);
// novrix directory list|add|remove|move: the printer's directory servers.
int CmdDirectory(const Options& options, const std::vector<std::string>& args);
// novrix phonebook list|add|remove|import|export|search: the phone book's destinations.
int CmdPhoneBook(const Options& options, const std::vector<std::string>& args);

}  // namespace novrix
