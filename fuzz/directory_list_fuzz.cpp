// Fuzz target: any bytes as a stored directory server list ("LDAPServerList") and
// as a page of the device's speed dials.  The list reader must never read past
// the value, never keep more than 20 entries, never hand out a text past its
// character limit or a password past its field; the page reader must never read
// past its page nor keep more entries than asked for.
//
// Input: byte 0 chooses what the rest is: even, a stored list (padded with its
// own bytes or cut to 107,840 bytes when byte 0 is 0, else taken as it is); odd,
// a speed-dial page (likewise padded or cut to its size), with byte 1 the number
// of entries wanted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/oapi.h"
#include "fax/directory_servers.h"
#include "fax/speed_dials.h"

namespace d = nvx::fax::directory;
namespace sd = nvx::fax::speed_dials;

namespace {

std::vector<BYTE> Sized(const uint8_t* data, size_t size, size_t want) {
    std::vector<BYTE> out(want, 0);
    for (size_t i = 0; i < want && size > 0; ++i) out[i] = data[i % size];
    return out;
}

void Check(bool ok) {
    if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = data[0];
    if ((mode & 1) == 0) {
        std::vector<BYTE> stored =
            mode == 0 ? Sized(data + 1, size - 1, d::kListSize) : std::vector<BYTE>(data + 1, data + size);
        std::vector<d::Server> list = d::ReadList(stored);
        Check(list.size() <= d::kMaxServers);
        for (const d::Server& s : list) {
            Check(!s.name.empty() && s.name.size() <= d::kNameChars);
            Check(s.address.size() <= d::kLongChars && s.searchBase.size() <= d::kLongChars);
            Check(s.password.size() <= d::at::kPasswordBytes);
            for (const auto& a : s.attributes) Check(a.size() <= d::kAttributeChars);
            d::CheckServer(list, 0, d::Limits{});
            d::IsDistinguishedName(s.searchBase);
        }
        // What was read writes back to the same reading.
        Check(d::ReadList(d::WriteList(list)).size() == list.size());
    } else {
        std::vector<BYTE> page = mode == 1 ? Sized(data + 2, size - 2, nvx::oapi::kAbbrPageSize)
                                           : std::vector<BYTE>(data + 2, data + size);
        const size_t wanted = data[1];
        std::vector<BYTE> kept;
        auto held = sd::KeepFaxEntries(page, wanted, &kept);
        Check(kept.size() % nvx::oapi::kAbbrEntrySize == 0);
        Check(kept.size() / nvx::oapi::kAbbrEntrySize <= wanted);
        if (held) Check(*held <= nvx::oapi::kAbbrPageEntries);
        std::vector<BYTE> out(wanted * sd::kOutputEntrySize + 1, 0);
        Check(sd::ConvertAll(kept, out.data(), wanted) == kept.size() / nvx::oapi::kAbbrEntrySize);
    }
    return 0;
}
