// The simulated devices: finding and reading their profiles.
#include "device_profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace nvxo {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxProfileBytes = 16u << 20;

// The folder this library was loaded from.
fs::path LibraryFolder() {
#ifdef _WIN32
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LibraryFolder), &self))
        return {};
    WCHAR path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return fs::path(path).parent_path();
#else
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) || !info.dli_fname) return {};
    return fs::path(info.dli_fname).parent_path();
#endif
}

// The file name stem of an address: only letters, digits, '.' and '-' pass, so
// that no address can name a path outside the folder.
std::string FileStem(const std::string& address) {
    std::string stem = address;
    for (char& c : stem) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!keep) c = '_';
    }
    return stem;
}

// A JSON object read from a file; nothing when missing, too large or not an object.
std::optional<json> ReadObject(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    auto bytes = fs::file_size(file, ec);
    if (ec || bytes > kMaxProfileBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    json doc = json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
    return doc;
}

// Applies the members of one behaviour object (profile or control file).
void ApplyBehaviour(const json* b, Behaviour& out, const fs::path& folder) {
    if (!b || !b->is_object()) return;
    if (const json* v = Member(b, "unreachable")) out.unreachable = NumberOf(v) != 0;
    if (const json* v = Member(b, "failCode")) out.failCode = static_cast<unsigned>(NumberOf(v));
    if (const json* v = Member(b, "failDetail")) out.failDetail = TextOf(v);
    if (const json* v = Member(b, "failOnly"); v && v->is_array()) {
        out.failOnly.clear();
        for (const json& name : *v) out.failOnly.push_back(TextOf(&name));
    }
    if (const json* v = Member(b, "refuseLogin")) {
        if (v->is_string()) {
            out.refuseLogin = !v->get<std::string>().empty();
            if (out.refuseLogin) out.refuseDetail = v->get<std::string>();
        } else {
            out.refuseLogin = NumberOf(v) != 0;
        }
    }
    if (const json* v = Member(b, "delayMs")) {
        uint64_t ms = NumberOf(v);
        out.delayMs = static_cast<unsigned>(ms > kMaxDelayMs ? kMaxDelayMs : ms);
    }
    if (const json* v = Member(b, "log")) {
        std::string log = TextOf(v);
        if (log.empty()) {
            out.logPath.clear();
        } else {
            fs::path p = fs::path(log);
            out.logPath = (p.is_absolute() ? p : folder / p).string();
        }
    }
}

std::mutex g_servedMutex;
std::string g_servedFile;  // set in the simulator only

std::string ServedFile() {
    std::lock_guard<std::mutex> lock(g_servedMutex);
    return g_servedFile;
}

std::optional<Remote> RemoteOf(const json* member) {
    if (!member) return std::nullopt;
    std::optional<Remote> remote = ParseLoopbackAddress(member->is_string() ? TextOf(member)
                                                                            : TextOf(Member(member, "address")));
    if (!remote) return std::nullopt;
    if (const json* t = Member(member, "timeoutMs")) {
        uint64_t ms = NumberOf(t, kDefaultRemoteTimeoutMs);
        remote->timeoutMs = static_cast<unsigned>(ms < 50 ? 50 : ms > kMaxRemoteTimeoutMs ? kMaxRemoteTimeoutMs : ms);
    }
    return remote;
}

}  // namespace

std::optional<Remote> ParseLoopbackAddress(const std::string& text) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    std::string host = text.substr(0, colon);
    std::string port = text.substr(colon + 1);
    if (host != "127.0.0.1" && host != "localhost") return std::nullopt;
    if (port.empty() || port.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    Remote remote;
    remote.host = "127.0.0.1";
    remote.port = static_cast<uint16_t>(value);
    return remote;
}

std::optional<Remote> RemoteFor(const std::string& address) {
    if (!ServedFile().empty()) return std::nullopt;
    std::optional<Profile> profile = LoadProfile(address);
    if (profile) return profile->remote;
    return ParseLoopbackAddress(address);
}

void ServeProfileFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_servedMutex);
    g_servedFile = path;
}

std::string ProfilesFolder() {
    if (const char* env = std::getenv("NOVRIX_DEVICE_PROFILES"); env && *env) return env;
    return (LibraryFolder() / "profiles").string();
}

std::optional<Profile> LoadProfile(const std::string& address) {
    if (address.empty()) return std::nullopt;
    const std::string served = ServedFile();
    fs::path file, control, folder;
    if (!served.empty()) {
        file = fs::path(served);
        folder = file.parent_path();
        std::string name = file.filename().string();
        if (name.size() > 5 && name.substr(name.size() - 5) == ".json") name.resize(name.size() - 5);
        control = folder / (name + ".control.json");
    } else {
        folder = fs::path(ProfilesFolder());
        std::string stem = FileStem(address);
        file = folder / (stem + ".json");
        control = folder / (stem + ".control.json");
    }
    std::optional<json> doc = ReadObject(file);
    if (!doc) return std::nullopt;
    Profile profile;
    profile.doc = std::move(*doc);
    ApplyBehaviour(Member(&profile.doc, "behaviour"), profile.behaviour, folder);
    if (std::optional<json> controlDoc = ReadObject(control)) ApplyBehaviour(&*controlDoc, profile.behaviour, folder);
    if (served.empty()) profile.remote = RemoteOf(Member(&profile.doc, "remote"));
    return profile;
}

}  // namespace nvxo
