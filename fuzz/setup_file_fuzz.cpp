// Fuzz target: a file handed to the setup transfer, on any input.  The bytes as a
// setup file (UTF-8 file form and UTF-16LE) are checked and applied to a printer's
// content, and what was applied writes out again; the same bytes as a lock file are
// read through the platform's profile functions, and the lock record made from its
// keys must read back as written, and its personal information either applies
// or leaves the record as it was.  Refusals are fine; a crash, a read past a buffer
// or a mismatch (trap) is not.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "presets/setup_transfer.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::presets;

constexpr size_t kDeviceSectionsStart = devsetup::kTrays;
constexpr size_t kDeviceSectionsEnd = devsetup::kEnd;

// The device data texts alike, a text the printer does not keep counting as empty
// (the file writes it empty).
bool SameDeviceData(const std::map<nvx::WString, nvx::WString>& a, const std::map<nvx::WString, nvx::WString>& b) {
    auto covered = [](const std::map<nvx::WString, nvx::WString>& x, const std::map<nvx::WString, nvx::WString>& y) {
        for (const auto& [name, text] : x) {
            const auto it = y.find(name);
            if ((it == y.end() ? nvx::WString() : it->second) != text) return false;
        }
        return true;
    };
    return covered(a, b) && covered(b, a);
}

SetupFacts Facts() {
    SetupFacts f;
    f.driverName = u"NOVRIX Fax Driver";
    f.language = u"0409";
    f.optionCount = 14;
    f.otherTab = true;
    f.rules.resolutions = {{600, 600, 600, 1}};
    return f;
}

void ApplyAndBuild(const SettingsDoc& doc) {
    const SetupFacts facts = Facts();
    CheckSetupHeader(doc, facts);
    SetupContent content;
    nvx::settings::WriteRecordHeader(content.record);
    const SetupContent before = content;
    std::vector<std::string> failed;
    if (ApplySetupText(doc, facts, content, &failed) != kSetupOk) {
        // A refused file leaves the content as it was.
        if (content.devOption != before.devOption || content.excelJobCtrl != before.excelJobCtrl ||
            content.deviceData != before.deviceData ||
            std::memcmp(&content.customPaper, &before.customPaper, sizeof before.customPaper) != 0)
            __builtin_trap();
        return;
    }
    SettingsDoc out;
    BuildSetupText(out, facts, content);
    const nvx::WString text = RenderSettingsText(out);
    // What was taken writes out and reads back the same: the device sections.
    SetupContent again;
    nvx::settings::WriteRecordHeader(again.record);
    const SettingsDoc reread = ParseSettingsText(text.c_str(), text.size());
    if (ApplySetupText(reread, facts, again) == kSetupOk &&
        (!SameDeviceData(again.deviceData, content.deviceData) ||
         std::memcmp(&again.customPaper, &content.customPaper, sizeof content.customPaper) != 0 ||
         std::memcmp(again.devOption.data() + kDeviceSectionsStart, content.devOption.data() + kDeviceSectionsStart,
                     kDeviceSectionsEnd - kDeviceSectionsStart) != 0))
        __builtin_trap();
}

const nvx::WString& IniPath() {
    static const nvx::WString path = [] {
        WCHAR temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        return nvx::WString(temp) + nvx::WFormatString(u"novrix_setup_fuzz_%u.ini", static_cast<unsigned>(getpid()));
    }();
    return path;
}

void ReadAsLockFile(const uint8_t* data, size_t size) {
    HANDLE file = CreateFileW(IniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    const bool whole = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole) return;
    // As a personal information file: a refused value leaves the record as it was.
    static const nvx::device::PasswordCipher cipher({nvx::device::CipherMode::Aes, 3, 57, std::nullopt});
    OEMDEV user{};
    nvx::settings::WriteRecordHeader(user);
    const OEMDEV userBefore = user;
    if (ApplyPersonalInfo(ReadPersonalInfoKeys(IniPath()), cipher, false, user) != kSetupOk &&
        std::memcmp(user.bytes, userBefore.bytes, sizeof user.bytes) != 0)
        __builtin_trap();
    std::vector<LockEntry> entries = LockEntriesFromKeys(ReadLockFileKeys(IniPath()));
    if (entries.size() > kMaxLockEntries) __builtin_trap();
    OEMDEV record{};
    std::vector<BYTE> devOption(nvx::settings::kDevOptionSize);
    ApplyLockEntries(
        entries, [](std::string_view, std::string_view o, int32_t* v) { return *v = 1, o == "Grayscale"; },
        [](std::string_view, size_t* slot) { return *slot = 3, true; }, record, devOption.data());
    const std::vector<BYTE> bytes = EncodeLockRecord(entries);
    const std::vector<LockEntry> back = DecodeLockRecord(bytes.data(), bytes.size());
    if (back.size() != entries.size()) __builtin_trap();
    for (size_t i = 0; i < back.size(); ++i)
        if (back[i].feature != entries[i].feature.substr(0, entries[i].feature.find('\0')) ||
            back[i].option != entries[i].option.substr(0, entries[i].option.find('\0')))
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsDoc file;
    if (ParseSettingsFileBytes(std::string(reinterpret_cast<const char*>(data), size), &file) == ERROR_SUCCESS)
        ApplyAndBuild(file);
    ApplyAndBuild(ParseUtf16Bytes(data, size));
    ReadAsLockFile(data, size);
    return 0;
}
