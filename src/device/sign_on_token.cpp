// The single sign-on exchange's texts.
#include "device/sign_on_token.h"

#include <cstring>

#include "device/oapi.h"

namespace nvx::device {
namespace {

std::string FieldText(std::span<const BYTE> field) {
    const char* p = reinterpret_cast<const char*>(field.data());
    return std::string(p, strnlen(p, field.size()));
}

}  // namespace

std::optional<std::string> ServicePrincipalName(std::span<const BYTE> service, std::span<const BYTE> host,
                                                const std::string& domain) {
    const std::string s = FieldText(service), h = FieldText(host);
    if (s.empty() || h.empty()) return std::nullopt;
    return domain.empty() ? s + "/" + h : s + "/" + h + "@" + domain;
}

std::string DomainOfDnsName(const std::string& dnsName) {
    const size_t slash = dnsName.find('\\');
    return slash == std::string::npos ? std::string() : dnsName.substr(0, slash);
}

std::optional<std::string> EncodeSignOnToken(std::span<const BYTE> token) {
    if (token.empty() || token.size() > oapi::kSignOnTokenSize) return std::nullopt;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD needed = 0;
    if (!CryptBinaryToStringA(token.data(), static_cast<DWORD>(token.size()), flags, nullptr, &needed) ||
        needed == 0 || needed > oapi::kSignOnTokenSize)
        return std::nullopt;
    std::string text(needed, '\0');
    DWORD count = needed;
    if (!CryptBinaryToStringA(token.data(), static_cast<DWORD>(token.size()), flags, text.data(), &count) ||
        count >= needed)
        return std::nullopt;
    text.resize(count);
    return text;
}

std::optional<std::vector<BYTE>> DecodeSignOnAnswer(const char* answer, size_t size) {
    if (!answer || size == 0) return std::nullopt;
    const size_t bounded = size < oapi::kSignOnTokenSize ? size : oapi::kSignOnTokenSize;
    const size_t n = strnlen(answer, bounded);
    if (n == 0 || n == bounded) return std::nullopt;  // empty, or no terminator within the answer
    DWORD needed = 0;
    if (!CryptStringToBinaryA(answer, static_cast<DWORD>(n), CRYPT_STRING_BASE64, nullptr, &needed, nullptr, nullptr) ||
        needed == 0 || needed > n)
        return std::nullopt;
    std::vector<BYTE> token(needed);
    DWORD got = needed;
    if (!CryptStringToBinaryA(answer, static_cast<DWORD>(n), CRYPT_STRING_BASE64, token.data(), &got, nullptr,
                              nullptr) ||
        got > needed)
        return std::nullopt;
    token.resize(got);
    return token;
}

}  // namespace nvx::device
