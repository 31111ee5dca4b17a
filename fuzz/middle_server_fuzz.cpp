// The stored middle server setting ("InterimUI" in the user's store) as outside
// data: any bytes as the stored value.  Nothing is read past it; a value of
// another size gives the defaults; a name is never longer than its field and
// holds no NUL; the server number is a 16-bit number other than 0.  The same
// bytes as the settings record's middle server value give a 16-bit number or 0,
// and as a stored sign-on identifier ("SecurityContexId") a text without NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/middle_server.h"
#include "device/user_settings.h"

using namespace nvx::device;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<BYTE> stored(data, data + size);
    const MiddleServerInfo info = MiddleServerInfoOf(stored);
    if (info.serverNumber == 0 || info.serverNumber > 0xFFFF) std::abort();
    if (info.serverName.size() > kInterimServerNameBytes) std::abort();
    if (info.serverName.find('\0') != std::string::npos) std::abort();
    if (size != kInterimUiBytes && (info.serverNumber != 1 || !info.serverName.empty())) std::abort();
    OEMDEV record{};
    std::memcpy(record.bytes + oemdev_user::kMiddleServerValue, data, size < 4 ? size : 4);
    (void)MiddleServerNumberOf(record);
    const std::optional<std::string> id = SignOnContextIdOf(std::span<const BYTE>(data, size));
    if (id && (id->empty() || id->find('\0') != std::string::npos)) std::abort();
    return 0;
}
