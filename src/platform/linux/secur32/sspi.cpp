// Security support subset: Kerberos client contexts over MIT Kerberos' GSSAPI
// (with their sizes, names and integrity signatures), the user's principal
// names, and Base64 over OpenSSL.
//
// Credentials and contexts are heap objects kept in one live set; a handle that
// is not in it answers SEC_E_INVALID_HANDLE and is never followed.  Tokens the
// caller receives are allocated here and freed by FreeContextBuffer.
#include <gssapi/gssapi.h>
#include <gssapi/gssapi_krb5.h>
#include <krb5.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unordered_set>

#include "common/text.h"
#include "platform/sspi.h"

namespace {

constexpr ULONG_PTR kCredentialTag = 0x4E56584352454431ull;  // tells the two handle kinds apart
constexpr ULONG_PTR kContextTag = 0x4E565843544E5831ull;

struct Credential {
    gss_cred_id_t cred = GSS_C_NO_CREDENTIAL;
};
struct Context {
    gss_ctx_id_t ctx = GSS_C_NO_CONTEXT;
    gss_name_t target = GSS_C_NO_NAME;
    Credential* credential = nullptr;
    bool complete = false;  // the last InitializeSecurityContextW answered SEC_E_OK
};

// The largest token of an authentication exchange that this layer hands out
// (SECPKG_ATTR_SIZES' cbMaxToken): the classic Kerberos limit.
constexpr ULONG kMaxToken = 12000;

std::mutex g_mutex;
std::unordered_set<void*> g_live;

void Track(void* p) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_live.insert(p);
}
bool Untrack(void* p) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_live.erase(p) == 1;
}
bool Live(void* p) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_live.count(p) == 1;
}

template <typename T>
T* FromHandle(const SecHandle* h, ULONG_PTR tag) {
    if (!h || h->dwUpper != tag) return nullptr;
    void* p = reinterpret_cast<void*>(h->dwLower);
    return Live(p) ? static_cast<T*>(p) : nullptr;
}

gss_OID_set_desc KerberosSet() {
    return gss_OID_set_desc{1, const_cast<gss_OID>(gss_mech_krb5)};
}

// The status of a failed GSSAPI call in the security support interface's terms.
SECURITY_STATUS StatusOf(OM_uint32 major, OM_uint32 minor) {
    const OM_uint32 routine = GSS_ROUTINE_ERROR(major);
    if (routine == GSS_S_NO_CRED || routine == GSS_S_CREDENTIALS_EXPIRED) return SEC_E_NO_CREDENTIALS;
    if (routine == GSS_S_BAD_NAME || routine == GSS_S_BAD_NAMETYPE) return SEC_E_TARGET_UNKNOWN;
    if (routine == GSS_S_CONTEXT_EXPIRED) return SEC_E_CONTEXT_EXPIRED;
    if (routine == GSS_S_NO_CONTEXT) return SEC_E_INVALID_HANDLE;
    if (routine == GSS_S_BAD_QOP) return SEC_E_QOP_NOT_SUPPORTED;
    if (routine == GSS_S_DEFECTIVE_TOKEN || routine == GSS_S_BAD_SIG || routine == GSS_S_BAD_MIC)
        return SEC_E_INVALID_TOKEN;
    if (routine == GSS_S_FAILURE) {
        const auto code = static_cast<krb5_error_code>(minor);
        if (code == KRB5_KDC_UNREACH || code == KRB5_REALM_CANT_RESOLVE) return SEC_E_NO_AUTHENTICATING_AUTHORITY;
        if (code == KRB5KRB_AP_ERR_TKT_EXPIRED || code == KRB5KDC_ERR_TGT_REVOKED) return SEC_E_CONTEXT_EXPIRED;
        if (code == KRB5_FCC_NOFILE || code == KRB5_CC_NOTFOUND || code == KRB5_CC_NOSUPP)
            return SEC_E_NO_CREDENTIALS;
        if (code == KRB5KDC_ERR_S_PRINCIPAL_UNKNOWN) return SEC_E_TARGET_UNKNOWN;
    }
    return SEC_E_INTERNAL_ERROR;
}

std::string Narrow(const WCHAR* text) {
    return text ? nvx::Utf8FromW(text) : std::string();
}

void CloseContext(Context* c) {
    OM_uint32 minor = 0;
    if (c->ctx != GSS_C_NO_CONTEXT) gss_delete_sec_context(&minor, &c->ctx, GSS_C_NO_BUFFER);
    if (c->target != GSS_C_NO_NAME) gss_release_name(&minor, &c->target);
    delete c;
}

SECURITY_STATUS WINAPI AcquireCredentials(LPWSTR principal, LPWSTR package, ULONG use, void* logonId, void* authData,
                                          void*, void*, PCredHandle out, PTimeStamp expiry) {
    if (!package || !out) return SEC_E_INTERNAL_ERROR;
    if (Narrow(package) != "Kerberos") return SEC_E_SECPKG_NOT_FOUND;
    // Outbound credentials of the logged-on user only: no other principal, no
    // supplied secrets.
    if (use != SECPKG_CRED_OUTBOUND || principal || logonId || authData) return SEC_E_UNSUPPORTED_FUNCTION;
    gss_OID_set_desc mechs = KerberosSet();
    OM_uint32 minor = 0, lifetime = 0;
    auto* c = new (std::nothrow) Credential;
    if (!c) return SEC_E_INSUFFICIENT_MEMORY;
    const OM_uint32 major =
        gss_acquire_cred(&minor, GSS_C_NO_NAME, GSS_C_INDEFINITE, &mechs, GSS_C_INITIATE, &c->cred, nullptr, &lifetime);
    if (GSS_ERROR(major)) {
        delete c;
        return StatusOf(major, minor);
    }
    Track(c);
    out->dwLower = reinterpret_cast<ULONG_PTR>(c);
    out->dwUpper = kCredentialTag;
    if (expiry) expiry->QuadPart = 0;
    return SEC_E_OK;
}

SECURITY_STATUS WINAPI FreeCredentials(PCredHandle handle) {
    auto* c = FromHandle<Credential>(handle, kCredentialTag);
    if (!c || !Untrack(c)) return SEC_E_INVALID_HANDLE;
    OM_uint32 minor = 0;
    if (c->cred != GSS_C_NO_CREDENTIAL) gss_release_cred(&minor, &c->cred);
    delete c;
    return SEC_E_OK;
}

const SecBuffer* TokenIn(const SecBufferDesc* desc) {
    if (!desc || desc->ulVersion != SECBUFFER_VERSION || !desc->pBuffers) return nullptr;
    for (ULONG i = 0; i < desc->cBuffers; ++i)
        if ((desc->pBuffers[i].BufferType & 0xFFFF) == SECBUFFER_TOKEN) return &desc->pBuffers[i];
    return nullptr;
}

SECURITY_STATUS WINAPI InitializeContext(PCredHandle credential, PCtxtHandle context, LPWSTR target, ULONG request,
                                         ULONG, ULONG, PSecBufferDesc input, ULONG, PCtxtHandle newContext,
                                         PSecBufferDesc output, ULONG* attributes, PTimeStamp expiry) {
    auto* cred = FromHandle<Credential>(credential, kCredentialTag);
    if (!cred) return SEC_E_INVALID_HANDLE;
    if (!(request & ISC_REQ_ALLOCATE_MEMORY)) return SEC_E_UNSUPPORTED_FUNCTION;  // tokens are always allocated here
    SecBuffer* out = nullptr;
    if (output && output->ulVersion == SECBUFFER_VERSION && output->pBuffers && output->cBuffers > 0)
        out = &output->pBuffers[0];
    if (!out) return SEC_E_INTERNAL_ERROR;
    out->cbBuffer = 0;
    out->pvBuffer = nullptr;

    Context* c = nullptr;
    bool fresh = false;
    if (context) {
        c = FromHandle<Context>(context, kContextTag);
        if (!c) return SEC_E_INVALID_HANDLE;
    } else {
        const std::string name = Narrow(target);
        if (name.empty()) return SEC_E_TARGET_UNKNOWN;
        c = new (std::nothrow) Context;
        if (!c) return SEC_E_INSUFFICIENT_MEMORY;
        c->credential = cred;
        OM_uint32 minor = 0;
        gss_buffer_desc text{name.size(), const_cast<char*>(name.data())};
        const OM_uint32 major = gss_import_name(&minor, &text, GSS_KRB5_NT_PRINCIPAL_NAME, &c->target);
        if (GSS_ERROR(major)) {
            delete c;
            return SEC_E_TARGET_UNKNOWN;
        }
        fresh = true;
    }
    OM_uint32 flags = 0;
    if (request & ISC_REQ_MUTUAL_AUTH) flags |= GSS_C_MUTUAL_FLAG;
    if (request & ISC_REQ_REPLAY_DETECT) flags |= GSS_C_REPLAY_FLAG;
    if (request & ISC_REQ_SEQUENCE_DETECT) flags |= GSS_C_SEQUENCE_FLAG;
    if (request & ISC_REQ_CONFIDENTIALITY) flags |= GSS_C_CONF_FLAG;
    if (request & ISC_REQ_INTEGRITY) flags |= GSS_C_INTEG_FLAG;
    gss_buffer_desc in{0, nullptr};
    if (const SecBuffer* token = TokenIn(input)) in = gss_buffer_desc{token->cbBuffer, token->pvBuffer};
    gss_buffer_desc produced{0, nullptr};
    OM_uint32 minor = 0, retFlags = 0, lifetime = 0;
    gss_OID_desc* mech = const_cast<gss_OID>(gss_mech_krb5);
    const OM_uint32 major = gss_init_sec_context(&minor, cred->cred, &c->ctx, c->target, mech, flags, GSS_C_INDEFINITE,
                                                 GSS_C_NO_CHANNEL_BINDINGS, &in, nullptr, &produced, &retFlags,
                                                 &lifetime);
    if (GSS_ERROR(major)) {
        OM_uint32 ignored = 0;
        gss_release_buffer(&ignored, &produced);
        if (fresh) CloseContext(c);
        return StatusOf(major, minor);
    }
    if (produced.length > 0) {
        void* copy = std::malloc(produced.length);
        if (!copy) {
            OM_uint32 ignored = 0;
            gss_release_buffer(&ignored, &produced);
            if (fresh) CloseContext(c);
            return SEC_E_INSUFFICIENT_MEMORY;
        }
        std::memcpy(copy, produced.value, produced.length);
        out->pvBuffer = copy;
        out->cbBuffer = static_cast<ULONG>(produced.length);
        out->BufferType = SECBUFFER_TOKEN;
    }
    OM_uint32 ignored = 0;
    gss_release_buffer(&ignored, &produced);
    if (fresh) {
        Track(c);
        if (newContext) {
            newContext->dwLower = reinterpret_cast<ULONG_PTR>(c);
            newContext->dwUpper = kContextTag;
        }
    } else if (newContext && newContext != context) {
        *newContext = *context;
    }
    if (attributes) {
        ULONG a = ISC_RET_ALLOCATED_MEMORY;
        if (retFlags & GSS_C_MUTUAL_FLAG) a |= ISC_RET_MUTUAL_AUTH;
        if (retFlags & GSS_C_REPLAY_FLAG) a |= ISC_RET_REPLAY_DETECT;
        if (retFlags & GSS_C_SEQUENCE_FLAG) a |= ISC_RET_SEQUENCE_DETECT;
        if (retFlags & GSS_C_CONF_FLAG) a |= ISC_RET_CONFIDENTIALITY;
        if (retFlags & GSS_C_INTEG_FLAG) a |= ISC_RET_INTEGRITY;
        *attributes = a;
    }
    if (expiry) expiry->QuadPart = 0;
    c->complete = !(major & GSS_S_CONTINUE_NEEDED);
    return c->complete ? SEC_E_OK : SEC_I_CONTINUE_NEEDED;
}

SECURITY_STATUS WINAPI DeleteContext(PCtxtHandle handle) {
    auto* c = FromHandle<Context>(handle, kContextTag);
    if (!c || !Untrack(c)) return SEC_E_INVALID_HANDLE;
    CloseContext(c);
    return SEC_E_OK;
}

SECURITY_STATUS WINAPI FreeBuffer(void* buffer) {
    std::free(buffer);
    return SEC_E_OK;
}

// The integrity token of a message under an established context.
SECURITY_STATUS Mic(Context* c, const void* data, size_t length, gss_buffer_desc* mic) {
    OM_uint32 minor = 0;
    gss_buffer_desc message{length, const_cast<void*>(data)};
    const OM_uint32 major = gss_get_mic(&minor, c->ctx, GSS_C_QOP_DEFAULT, &message, mic);
    return GSS_ERROR(major) ? StatusOf(major, minor) : SEC_E_OK;
}

// What a wrap adds to the largest message it takes, with or without confidentiality.
SECURITY_STATUS WrapOverhead(Context* c, bool confidential, ULONG* overhead) {
    constexpr OM_uint32 kProbe = 65536;
    OM_uint32 minor = 0, largest = 0;
    const OM_uint32 major =
        gss_wrap_size_limit(&minor, c->ctx, confidential ? 1 : 0, GSS_C_QOP_DEFAULT, kProbe, &largest);
    if (GSS_ERROR(major)) return StatusOf(major, minor);
    *overhead = largest <= kProbe ? kProbe - largest : 0;
    return SEC_E_OK;
}

// Nothing is signed or wrapped here: that would use up one of the context's
// sequence numbers, and the device would see a gap before the first real token.
SECURITY_STATUS Sizes(Context* c, SecPkgContext_Sizes* out) {
    ULONG integrity = 0, trailer = 0;
    // An integrity-only wrap carries the same header and checksum as a signature
    // (and, for the older key types, a confounder and padding too): a bound on it.
    SECURITY_STATUS s = WrapOverhead(c, false, &integrity);
    if (s == SEC_E_OK) s = WrapOverhead(c, true, &trailer);
    if (s != SEC_E_OK) return s;
    out->cbMaxToken = kMaxToken;
    out->cbMaxSignature = integrity;
    out->cbBlockSize = 1;
    out->cbSecurityTrailer = trailer;
    return SEC_E_OK;
}

SECURITY_STATUS Names(Context* c, SecPkgContext_NamesW* out) {
    OM_uint32 minor = 0;
    gss_name_t source = GSS_C_NO_NAME;
    OM_uint32 major = gss_inquire_context(&minor, c->ctx, &source, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr);
    if (GSS_ERROR(major)) return StatusOf(major, minor);
    gss_buffer_desc text{0, nullptr};
    major = gss_display_name(&minor, source, &text, nullptr);
    OM_uint32 ignored = 0;
    gss_release_name(&ignored, &source);
    if (GSS_ERROR(major)) return StatusOf(major, minor);
    const nvx::WString name = nvx::WFromUtf8(std::string(static_cast<const char*>(text.value), text.length));
    gss_release_buffer(&ignored, &text);
    auto* copy = static_cast<WCHAR*>(std::malloc((name.size() + 1) * sizeof(WCHAR)));
    if (!copy) return SEC_E_INSUFFICIENT_MEMORY;
    std::memcpy(copy, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    out->sUserName = copy;
    return SEC_E_OK;
}

SECURITY_STATUS WINAPI QueryContextAttributes(PCtxtHandle handle, ULONG attribute, void* buffer) {
    auto* c = FromHandle<Context>(handle, kContextTag);
    if (!c) return SEC_E_INVALID_HANDLE;
    if (!buffer) return SEC_E_INTERNAL_ERROR;
    if (attribute != SECPKG_ATTR_SIZES && attribute != SECPKG_ATTR_NAMES) return SEC_E_UNSUPPORTED_FUNCTION;
    // The attributes are those of an established context.
    if (!c->complete) return SEC_E_INVALID_HANDLE;
    if (attribute == SECPKG_ATTR_SIZES) return Sizes(c, static_cast<SecPkgContext_Sizes*>(buffer));
    return Names(c, static_cast<SecPkgContext_NamesW*>(buffer));
}

// The message is every SECBUFFER_DATA buffer in order (read-only ones too,
// except those marked for a separate checksum); the signature goes into the
// first SECBUFFER_TOKEN buffer, which must hold it.
SECURITY_STATUS WINAPI MakeSignature(PCtxtHandle handle, ULONG qop, PSecBufferDesc message, ULONG) {
    auto* c = FromHandle<Context>(handle, kContextTag);
    if (!c) return SEC_E_INVALID_HANDLE;
    if (qop != 0) return SEC_E_QOP_NOT_SUPPORTED;
    if (!message || message->ulVersion != SECBUFFER_VERSION || !message->pBuffers || message->cBuffers == 0)
        return SEC_E_INVALID_TOKEN;
    SecBuffer* token = nullptr;
    std::string data;
    for (ULONG i = 0; i < message->cBuffers; ++i) {
        SecBuffer& b = message->pBuffers[i];
        const ULONG type = b.BufferType & ~static_cast<ULONG>(SECBUFFER_ATTRMASK);
        if (type == SECBUFFER_TOKEN && !token) {
            token = &b;
        } else if (type == SECBUFFER_DATA && !(b.BufferType & SECBUFFER_READONLY_WITH_CHECKSUM)) {
            if (!b.pvBuffer && b.cbBuffer) return SEC_E_INVALID_TOKEN;
            if (b.cbBuffer) data.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
        }
    }
    if (!token || !token->pvBuffer) return SEC_E_INVALID_TOKEN;
    if (!c->complete) return SEC_E_INVALID_HANDLE;
    gss_buffer_desc mic{0, nullptr};
    const SECURITY_STATUS s = Mic(c, data.data(), data.size(), &mic);
    OPENSSL_cleanse(data.data(), data.size());
    if (s != SEC_E_OK) return s;
    OM_uint32 minor = 0;
    if (mic.length > token->cbBuffer) {
        gss_release_buffer(&minor, &mic);
        return SEC_E_BUFFER_TOO_SMALL;
    }
    std::memcpy(token->pvBuffer, mic.value, mic.length);
    token->cbBuffer = static_cast<ULONG>(mic.length);
    gss_release_buffer(&minor, &mic);
    return SEC_E_OK;
}

SecurityFunctionTableW g_table = {1,
                                  nullptr,
                                  nullptr,
                                  AcquireCredentials,
                                  FreeCredentials,
                                  nullptr,
                                  InitializeContext,
                                  nullptr,
                                  nullptr,
                                  DeleteContext,
                                  nullptr,
                                  QueryContextAttributes,
                                  nullptr,
                                  nullptr,
                                  MakeSignature,
                                  nullptr,
                                  FreeBuffer};

}  // namespace

PSecurityFunctionTableW WINAPI InitSecurityInterfaceW(void) {
    return &g_table;
}

BOOLEAN WINAPI GetUserNameExW(EXTENDED_NAME_FORMAT format, LPWSTR buffer, PULONG size) {
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (format != NameUserPrincipal && format != NameDnsDomain) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    krb5_context context = nullptr;
    if (krb5_init_context(&context) != 0) {
        SetLastError(ERROR_NO_SUCH_DOMAIN);
        return FALSE;
    }
    std::string user, realm;
    krb5_ccache cache = nullptr;
    krb5_principal principal = nullptr;
    if (krb5_cc_default(context, &cache) == 0 && krb5_cc_get_principal(context, cache, &principal) == 0) {
        if (principal->length >= 1) {
            for (krb5_int32 i = 0; i < principal->length; ++i) {
                if (i) user += '/';
                user.append(principal->data[i].data, principal->data[i].length);
            }
            realm.assign(principal->realm.data, principal->realm.length);
        }
        krb5_free_principal(context, principal);
    }
    if (cache) krb5_cc_close(context, cache);
    krb5_free_context(context);
    if (user.empty() || realm.empty()) {
        SetLastError(ERROR_NO_SUCH_DOMAIN);
        return FALSE;
    }
    const nvx::WString name =
        nvx::WFromUtf8(format == NameUserPrincipal ? user + "@" + realm : realm + "\\" + user);
    if (!buffer || *size < name.size() + 1) {
        *size = static_cast<ULONG>(name.size() + 1);
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    *size = static_cast<ULONG>(name.size());
    return TRUE;
}

BOOL WINAPI CryptBinaryToStringA(const BYTE* binary, DWORD length, DWORD flags, LPSTR text, DWORD* count) {
    const DWORD kind = flags & 0xFFFF;
    const bool noCrlf = (flags & CRYPT_STRING_NOCRLF) != 0;
    if (kind != CRYPT_STRING_BASE64 || (flags & ~(CRYPT_STRING_NOCRLF | 0xFFFFu)) || !count ||
        (!binary && length)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const size_t encoded = (static_cast<size_t>(length) + 2) / 3 * 4;
    const size_t lines = noCrlf ? 0 : (encoded + 63) / 64;
    const size_t needed = encoded + 2 * lines + 1;
    if (needed > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!text) {
        *count = static_cast<DWORD>(needed);
        return TRUE;
    }
    if (*count < needed) {
        *count = static_cast<DWORD>(needed);
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::string plain(encoded + 1, '\0');
    if (length) EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data()), binary, static_cast<int>(length));
    size_t n = 0;
    for (size_t at = 0; at < encoded; at += 64) {
        const size_t chunk = encoded - at < 64 ? encoded - at : 64;
        std::memcpy(text + n, plain.data() + at, chunk);
        n += chunk;
        if (!noCrlf) {
            text[n++] = '\r';
            text[n++] = '\n';
        }
    }
    text[n] = 0;
    *count = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WINAPI CryptStringToBinaryA(LPCSTR text, DWORD length, DWORD flags, BYTE* binary, DWORD* size, DWORD* skip,
                                 DWORD* usedFlags) {
    if (!text || !size || (flags != CRYPT_STRING_BASE64)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const size_t n = length ? length : std::strlen(text);
    // The Base64 characters without line ends and blanks; '=' only at the end.
    std::string compact;
    compact.reserve(n);
    size_t padding = 0;
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
        const bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                              c == '/';
        if (c == '=') {
            ++padding;
        } else if (!alphabet || padding) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        compact.push_back(c);
    }
    if (compact.size() % 4 != 0 || padding > 2) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    const size_t decoded = compact.size() / 4 * 3 - padding;
    if (skip) *skip = 0;
    if (usedFlags) *usedFlags = CRYPT_STRING_BASE64;
    if (!binary) {
        *size = static_cast<DWORD>(decoded);
        return TRUE;
    }
    if (*size < decoded) {
        *size = static_cast<DWORD>(decoded);
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::string out(compact.size() / 4 * 3 + 1, '\0');
    if (!compact.empty() &&
        EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                        reinterpret_cast<const unsigned char*>(compact.data()), static_cast<int>(compact.size())) < 0) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    std::memcpy(binary, out.data(), decoded);
    OPENSSL_cleanse(out.data(), out.size());
    *size = static_cast<DWORD>(decoded);
    return TRUE;
}
