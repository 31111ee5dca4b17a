// The phone book's own store: the stored destinations of the current user, kept
// as one binary value "Destinations" under the key "Software\VELMORA\NOVRIX\PhoneBook"
// of HKEY_CURRENT_USER (on Linux: the platform layer's registry in its SQLite store),
// each entry a 652-byte fax destination record (name, fax number, company,
// department, ECM, international, V.34).  At most kMaxEntries; fax numbers are
// unique.  Exchanged as CSV (UTF-8, RFC 4180 quoting, a header line):
//   name,fax number,company,department,ecm,international,v34
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "features/fax.h"

namespace nvxv {

inline constexpr size_t kMaxEntries = 1000;
using Entry = nvx::fax::Destination;

// The stored entries; a value of a size that is not a whole number of records
// (or past kMaxEntries) reads as the records it holds whole, at most kMaxEntries.
std::vector<Entry> LoadPhoneBook();
bool SavePhoneBook(const std::vector<Entry>& entries);

// Why an entry is refused; empty when it is fine.  Name at most 80 characters,
// fax number 1 to 38 characters from "0123456789#*PT-", company and department
// at most 80.
std::string EntryProblem(const Entry& entry);

// Adds an entry; the reason when it is refused (the book is full, the fax
// number is already stored, or EntryProblem).
std::string AddEntry(std::vector<Entry>* book, const Entry& entry);

// CSV: every line after the header is one entry.  `errors` gets one line per
// refused row ("line N: reason"); the rows that pass are returned.
std::vector<Entry> ReadCsv(const std::string& text, std::vector<std::string>* errors);
std::string WriteCsv(const std::vector<Entry>& entries);

}  // namespace nvxv
