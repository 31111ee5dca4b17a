// The simulated device's side of single sign-on.
#include "sign_on_acceptor.h"

#include "device/oapi.h"
#include "platform/sspi.h"

#ifndef _WIN32
#include <gssapi/gssapi.h>
#include <gssapi/gssapi_ext.h>
#include <gssapi/gssapi_krb5.h>

#include <vector>
#endif

namespace nvxo {

namespace o = nvx::oapi;

#ifdef _WIN32

Answer AcceptSignOn(const std::string&, const std::string&, std::string*) {
    return {o::kNotSupported, {}};
}

#else

namespace {

const char* const kRefusal = "AuthServerAuthFailure";

bool FromBase64(const std::string& text, std::vector<BYTE>* out) {
    DWORD size = 0;
    if (text.empty() || !CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                              nullptr, &size, nullptr, nullptr))
        return false;
    out->assign(size, 0);
    return size == 0 || CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                             out->data(), &size, nullptr, nullptr);
}

bool ToBase64(const void* data, size_t length, std::string* out) {
    out->clear();
    if (length == 0) return true;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD size = 0;
    if (!CryptBinaryToStringA(static_cast<const BYTE*>(data), static_cast<DWORD>(length), flags, nullptr, &size))
        return false;
    out->assign(size, '\0');
    if (!CryptBinaryToStringA(static_cast<const BYTE*>(data), static_cast<DWORD>(length), flags, out->data(), &size))
        return false;
    out->resize(size);
    return true;
}

}  // namespace

Answer AcceptSignOn(const std::string& keytabPath, const std::string& request, std::string* answer) {
    answer->clear();
    std::vector<BYTE> token;
    if (!FromBase64(request, &token) || token.empty()) return {o::kRefusedWithDetail, kRefusal};
    // The device's own service key, from its keytab only (never the machine's).
    const std::string keytab = "FILE:" + keytabPath;
    gss_key_value_element_desc element{"keytab", keytab.c_str()};
    gss_key_value_set_desc store{1, &element};
    OM_uint32 minor = 0;
    gss_cred_id_t cred = GSS_C_NO_CREDENTIAL;
    OM_uint32 major = gss_acquire_cred_from(&minor, GSS_C_NO_NAME, GSS_C_INDEFINITE, GSS_C_NO_OID_SET, GSS_C_ACCEPT,
                                            &store, &cred, nullptr, nullptr);
    if (GSS_ERROR(major)) return {o::kRefusedWithDetail, kRefusal};
    gss_ctx_id_t context = GSS_C_NO_CONTEXT;
    gss_buffer_desc in{token.size(), token.data()};
    gss_buffer_desc out{0, nullptr};
    major = gss_accept_sec_context(&minor, &context, cred, &in, GSS_C_NO_CHANNEL_BINDINGS, nullptr, nullptr, &out,
                                   nullptr, nullptr, nullptr);
    Answer result;
    if (GSS_ERROR(major) || (major & GSS_S_CONTINUE_NEEDED) || !ToBase64(out.value, out.length, answer)) {
        answer->clear();
        result = {o::kRefusedWithDetail, kRefusal};
    }
    gss_release_buffer(&minor, &out);
    if (context != GSS_C_NO_CONTEXT) gss_delete_sec_context(&minor, &context, GSS_C_NO_BUFFER);
    gss_release_cred(&minor, &cred);
    return result;
}

#endif

}  // namespace nvxo
