// The directory server dialog's editing without any window: a working copy of
// the printer's list, the entry being edited, and the checks that guard leaving
// an entry, adding one and OK.
//
// The dialog takes what the person typed into the current entry (TakeTexts)
// before it asks the editor to leave the entry; a refusal names the problem and
// the control to focus, and the entry stays selected.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/text.h"
#include "fax/directory_servers.h"

namespace nvx::fax::directory {

// An entry as the dialog's boxes show it.
struct EntryTexts {
    WString address, name, domain, logonName, searchBase;
    WString port, timeout, maxResults;
    std::array<WString, kAttributeCount> attributes;
    uint32_t auth = 0, share = 0, ssl = 0;
};
EntryTexts TextsOf(const Server& server);
// The typed texts into the entry (the password is not among them).  A number box
// that holds anything but digits, or nothing, reads as 0, which no range admits.
void TakeTexts(const EntryTexts& texts, Server* server);
// Digits only, else 0; a value past 32 bits reads as the largest one.
uint32_t NumberOf(WStringView text);
// How many digits a number box takes: as many as its maximum has.
size_t DigitsOf(uint32_t maximum);
// The logon password to show again in its (masked) box: deciphered and read in
// code page 1252; empty when there is none or it does not decipher.
WString ShownPassword(const device::PasswordCipher& cipher, const Server& server);

class Editor {
public:
    Editor(std::vector<Server> list, const Limits& limits);

    const std::vector<Server>& Servers() const { return list_; }
    const Limits& GetLimits() const { return limits_; }
    // The entry being edited, or nothing (an empty list).
    std::optional<size_t> Current() const { return current_; }
    Server* CurrentServer() { return current_ ? &list_[*current_] : nullptr; }

    // The checks of the current entry (None without one).
    Check CheckCurrent() const;
    // Leaves the current entry for `index`: refused with the current entry's
    // problem; an index past the list changes nothing.
    Check Select(size_t index);
    // Brings `index` forward without checks: for a list that is only looked at.
    void Look(size_t index) {
        if (index < list_.size()) current_ = index;
    }

    enum class AddOutcome { Added, Full, CurrentRefused };
    // A new entry with the model's defaults at the end, selected.  Refused when
    // the list holds kMaxServers already, or when the current entry does not pass
    // its checks (*check says why).
    AddOutcome Add(Check* check);
    bool CanAdd() const { return list_.size() < kMaxServers; }
    // Removes the current entry (no check: it is going); the entry now at its
    // place, else the last one, is selected.
    bool Remove();
    // Moves the current entry one place; it stays selected.
    bool Move(bool up);

    // OK: every entry passes, the current one first; otherwise the first entry
    // that does not is selected and its problem answered.
    Check Finish();

private:
    std::vector<Server> list_;
    Limits limits_;
    std::optional<size_t> current_;
};

}  // namespace nvx::fax::directory
