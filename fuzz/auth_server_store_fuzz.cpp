// The stored authentication server values ("TreeDomainName", "ExpenseCode",
// "ExpenseCodePass" in the user's store) as outside data: the input is cut in
// three by its first two bytes.  Nothing is read past a value; a taken text is
// printable ASCII within its limit; a taken password is no larger than its field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <utility>

#include "pages/auth_server_dialog.h"

using namespace nvx::pages;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::span<const BYTE> rest(data + 2, size - 2);
    const size_t a = data[0] < rest.size() ? data[0] : rest.size();
    const size_t b = data[1] < rest.size() - a ? data[1] : rest.size() - a;
    const AuthServerStore s = ParseAuthServerStore(rest.first(a), rest.subspan(a, b), rest.subspan(a + b));
    for (const auto& [text, limit] : {std::pair{&s.treeDomainName, kTreeDomainNameChars},
                                      std::pair{&s.expenseCode, kExpenseCodeChars}}) {
        if (text->size() > limit) std::abort();
        for (WCHAR c : *text)
            if (c < 0x20 || c > 0x7E) std::abort();
    }
    if (s.expenseCodePass.size() > kExpenseCodePassBytes) std::abort();
    return 0;
}
