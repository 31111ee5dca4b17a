// Any bytes as the stored values of a printer's cover sheet and of one named set:
// the record and the set made from them must be sound (every text ends inside its
// field) whatever the values hold.
//
// Input: a presence byte (bit i: value i is stored), then up to ten values, each
// a 16-bit little-endian length and its bytes: name, cover size, basic,
// recipient, sender, image, then the set's name, basic, sender and image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "fax/cover_sheet.h"

namespace {

std::vector<BYTE> Take(const uint8_t*& data, size_t& size) {
    size_t length = 0;
    if (size >= 2) {
        length = data[0] | (data[1] << 8);
        data += 2;
        size -= 2;
    } else {
        size = 0;
    }
    if (length > size) length = size;
    std::vector<BYTE> value(data, data + length);
    data += length;
    size -= length;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    unsigned present = data[0];
    ++data;
    --size;
    using nvx::fax::StoredCoverSheet;
    StoredCoverSheet stored;
    std::optional<std::vector<BYTE>>* slots[] = {&stored.setName, &stored.coverSize, &stored.basic,
                                                 &stored.recipient, &stored.sender, &stored.image};
    for (size_t i = 0; i < 6; ++i) {
        std::vector<BYTE> value = Take(data, size);
        if (present & (1u << i)) *slots[i] = value;
    }
    nvx::fax::CoverSheetRecord record = nvx::fax::CoverSheetFromStored(stored);
    if (!nvx::fax::IsSoundBasic(record.basic) || !nvx::fax::IsSoundRecipient(record.recipient) ||
        !nvx::fax::IsSoundSender(record.sender) || !nvx::fax::IsSoundImage(record.image) ||
        nvx::fax::FieldText(record.setName).size() > nvx::fax::kSetNameChars) {
        abort();
    }
    (void)nvx::fax::CommentLines(record.basic);

    std::vector<BYTE> name = Take(data, size), basic = Take(data, size), sender = Take(data, size),
                      image = Take(data, size);
    if (auto set = nvx::fax::SetFromStored(name, basic, sender, image)) {
        if (nvx::fax::FieldText(set->name).size() > nvx::fax::kSetNameChars || !nvx::fax::IsSoundBasic(set->basic)) {
            abort();
        }
        std::vector<nvx::fax::CoverSheetSet> sets{*set};
        nvx::fax::ApplySet(*set, &record);
        if (nvx::fax::MatchingSet(sets, record) != 0) abort();
    }
    return 0;
}
