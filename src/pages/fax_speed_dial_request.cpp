// FPB_Request_Abbr's work (see fax_speed_dial_request.h).
#include "pages/fax_speed_dial_request.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "common/le.h"
#include "device/acquisition.h"
#include "device/auth_apply.h"
#include "device/busy_window.h"
#include "device/oapi_connection.h"
#include "device/printer_cipher.h"
#include "device/user_settings.h"
#include "fax/speed_dials.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "pages/fax_fields.h"
#include "pages/fax_send.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"

namespace nvx::pages {
namespace {

namespace sd = nvx::fax::speed_dials;
namespace o = nvx::oapi;
using GetAddressFn = DWORD (*)(const WCHAR*, BYTE*, char*, DWORD, DWORD*);

LoginPrompt g_loginPrompt = nullptr;

void Wipe(std::string& s) {
    if (!s.empty()) SecureZeroMemory(s.data(), s.size());
    s.clear();
}

std::string Deciphered(const device::PasswordCipher& cipher, const BYTE* field, size_t capacity, uint16_t length) {
    std::optional<std::string> plain = device::ReadPassword(cipher, std::span<const BYTE>(field, capacity), length);
    return plain ? std::move(*plain) : std::string();
}

// The device's address through the host library; empty when there is none.
std::string DeviceAddress(const WCHAR* printerName, BYTE* devOption) {
    auto getAddress =
        model::HostFunction<GetAddressFn>(model::Loaded().host, model::HostFn::DDProc_GetPrinterIPAddress);
    if (!getAddress) return {};
    char address[o::kAddressSize] = {};
    DWORD isNetworkPort = 0;
    const DWORD code = getAddress(printerName, devOption, address, sizeof address, &isNetworkPort);
    if (code != 0 && code != device::kAcqAddressFromStatus) return {};
    address[o::kAddressMax] = 0;
    return address;
}

// Connection and shared cache, closed in this order when they go.
struct DeviceSession {
    device::SharedCache* cache = device::CreateSharedCache();
    device::Connection* connection = nullptr;
    ~DeviceSession() {
        device::CleanupConnection(connection);
        if (cache) device::DeleteSharedCache(cache);
    }
};

// Keeps the busy window up until Stop or the end of the scope.
class BusyScope {
public:
    BusyScope(HANDLE printer, HWND owner) : window_(printer, device::kBusyMessage, device::kBusyAnimation) {
        window_.Start(owner);
    }
    ~BusyScope() { Stop(); }
    void Stop() {
        if (up_) window_.Stop();
        up_ = false;
    }

private:
    device::BusyWindow window_;
    bool up_ = true;
};

enum class Outcome { Read, Failed, LoginRefused };

Outcome ReadFromDevice(HWND dialog, HANDLE printer, const BYTE* settingsRecord, const char* address,
                       double apiVersion, UINT_PTR passOn, size_t wanted, std::vector<BYTE>* kept) {
    DeviceSession session;
    if (!session.cache) return Outcome::Failed;
    session.connection = device::OpenConnection(address, apiVersion);
    if (!session.connection) return Outcome::Failed;
    if (device::PrepareConnection(session.connection, session.cache) != o::kOk) return Outcome::Failed;

    DeviceCredentials credentials;
    JobCredentials(printer, settingsRecord, &credentials);
    if (g_loginPrompt && !g_loginPrompt(dialog, printer, &credentials)) return Outcome::LoginRefused;
    OapiLoginRecord login{};
    login.kind = credentials.user.empty() ? 0 : 2;
    login.userName = credentials.user.c_str();
    login.password = credentials.password.c_str();
    login.accountName = credentials.department.c_str();
    login.accountPassword = credentials.departmentPassword.c_str();
    login.extra = "";
    if (device::Login(session.connection, &login, nullptr, 0, passOn, 0) != o::kOk) return Outcome::LoginRefused;

    BYTE conf[o::kAbbrConfigurationSize] = {};
    if (device::GetAbbrConfiguration(session.connection, 0, conf, sizeof conf) != o::kOk) return Outcome::Failed;
    device::Connection* c = session.connection;
    std::optional<std::vector<BYTE>> entries =
        sd::ReadFaxEntries(GetLE32(conf + o::kAbbrConfCount), wanted,
                           [c](DWORD first, BYTE* page) { return device::GetAbbrPage(c, first, page, o::kAbbrPageSize); });
    if (!entries) return Outcome::Failed;
    *kept = std::move(*entries);
    return Outcome::Read;
}

}  // namespace

DeviceCredentials::~DeviceCredentials() {
    Wipe(user);
    Wipe(password);
    Wipe(department);
    Wipe(departmentPassword);
}

void JobCredentials(HANDLE printer, const BYTE* settingsRecord, DeviceCredentials* out) {
    auto dev = std::make_unique<OEMDEV>();
    if (settingsRecord) std::memcpy(dev.get(), settingsRecord, sizeof(OEMDEV));
    const bool type1 = frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    device::LoadUserSettings(printer, type1, dev.get(),
                             device::UserSettingsCheckPasses(model::Loaded().tables.record));
    auto rec = std::make_unique<device::UserSettingsRecord>();
    device::CopyFromOemdev(*dev, type1, rec.get());
    SecureZeroMemory(dev.get(), sizeof(OEMDEV));
    const device::PasswordCipher& cipher = device::PrinterPasswordCipher(printer);
    out->user = Utf8FromW(WString(rec->userName, WLenBounded(rec->userName, 81)));
    out->password = Deciphered(cipher, rec->userPass, sizeof rec->userPass, rec->userPassLength);
    out->department = Utf8FromW(WString(rec->departmentName, WLenBounded(rec->departmentName, 13)));
    out->departmentPassword =
        Deciphered(cipher, rec->departmentPass, sizeof rec->departmentPass, rec->departmentPassLength);
    SecureZeroMemory(rec.get(), sizeof *rec);
}

void SetSpeedDialLoginPrompt(LoginPrompt prompt) {
    g_loginPrompt = prompt;
}

UINT_PTR RequestSpeedDials(HWND dialog, UINT_PTR passOn, BYTE* buffer, int* count) {
    if (!count) return 0;
    const int wanted = *count;
    *count = 0;
    if (!buffer) return 0;
    const FaxSendToBlock* block = FaxSendBlockOf(dialog);
    if (!block || !block->printer || !*block->printer) return 0;
    if (wanted <= 0) return 1;  // nothing asked for: nothing to read
    const device::DeviceLinkModel link = device::ModelDeviceLink();
    if (link.apiVersion <= 0) return 0;
    HANDLE printer = *block->printer;
    const WString printerName = device::PrinterNameOf(printer);
    if (printerName.empty()) return 0;
    std::vector<BYTE> devOption(settings::kDevOptionSize, 0);
    if (block->deviceOptions)
        std::memcpy(devOption.data(), block->deviceOptions, devOption.size());
    else
        settings::LoadDefaultDevOption(printer, devOption.data());

    std::vector<BYTE> kept;
    Outcome outcome = Outcome::Failed;
    {
        BusyScope busy(printer, dialog);
        const std::string address = DeviceAddress(printerName.c_str(), devOption.data());
        if (!address.empty())
            outcome = ReadFromDevice(dialog, printer, block->settingsRecord, address.c_str(), link.apiVersion, passOn,
                                     static_cast<size_t>(wanted), &kept);
        busy.Stop();
    }
    if (outcome == Outcome::LoginRefused) {
        fax::ShowMessage(dialog, kMsgDeviceLoginCaption, fax::MessageText(kMsgDeviceLoginFailed),
                         MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (outcome != Outcome::Read) return 0;
    *count = static_cast<int>(sd::ConvertAll(kept, buffer, static_cast<size_t>(wanted)));
    return 1;
}

}  // namespace nvx::pages
