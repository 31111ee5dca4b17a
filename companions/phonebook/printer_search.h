// The search of every directory server a printer has registered, in their order:
// each entry's server, port, SSL flag, logon and deciphered password, search base,
// time-out, maximum of results and attribute names.
#pragma once

#include <string>
#include <vector>

#include "device/password_cipher.h"
#include "directory_search.h"
#include "phone_book_store.h"
#include "platform/win32.h"

namespace nvxv {

struct ServerAnswer {
    std::string server;       // the entry's name
    SearchResult result;
};

// Nothing when the printer has no directory servers.  A password that does not
// decipher is reported as that server's failure (status Failed).
std::vector<ServerAnswer> SearchPrinterDirectories(HANDLE printer, const nvx::device::PasswordCipher& cipher,
                                                   const std::string& text);

// A person found as a phone book entry (texts cut to the entry's fields); false
// when the fax number does not fit a fax destination.
bool EntryFromPerson(const Person& person, Entry* entry);

}  // namespace nvxv
