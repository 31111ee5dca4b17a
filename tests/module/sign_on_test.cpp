// Single sign-on end to end: a throw-away Kerberos realm on the loopback, the
// simulated device accepting the token with its own keytab, and the module's
// Bidi_PrintStart_SSO with the platform's security support calls between them.
// A KDC that cannot be started fails these tests; it never skips them.
#include <gssapi/gssapi.h>
#include <gssapi/gssapi_ext.h>
#include <gssapi/gssapi_krb5.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/proc.h"
#include "device/device_info_cache.h"
#include "device/middle_server.h"
#include "device/oapi.h"
#include "device/sign_on_token.h"
#include "device_server.h"
#include "platform/host.h"
#include "platform/sspi.h"
#include "support/driver_folder.h"
#include "support/kerberos_realm.h"
#include "support/platform_test.h"

namespace {

using U = UINT_PTR;
using nvxtest::KerberosRealm;
constexpr const char* kDevice = "192.0.2.79";
constexpr const WCHAR* kName = WL("Kerberos Fax");

class SignOnTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        std::string error;
        ASSERT_TRUE(realm_.Start(&error)) << "the test realm's KDC could not be started: " << error;
        folder_ = nvxtest::MakeTempDir("signon");
        profiles_ = folder_ + "/profiles";
        ASSERT_EQ(0, system(("mkdir -p '" + profiles_ + "'").c_str()));
        setenv("NOVRIX_DEVICE_PROFILES", profiles_.c_str(), 1);
        served_ = folder_ + "/device.json";
        Serve("HTTP", realm_.DeviceKeytab());
        server_ = std::make_unique<nvxo::DeviceServer>();
        nvxo::ServerOptions options;
        options.profile = served_;
        ASSERT_TRUE(server_->Start(options, &error)) << error;
        std::ofstream(profiles_ + "/" + kDevice + ".json")
            << R"({"remote": {"address": "127.0.0.1:)" << server_->Port() << R"(", "timeoutMs": 2000}})";
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        PRINTER_INFO_2W info{};
        nvx::WString port = nvx::WFromUtf8(std::string("IP_") + kDevice);
        info.pPrinterName = const_cast<LPWSTR>(kName);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = port.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        printer_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        server_.reset();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    // The device: sign-on data (the service), its host name and its keytab.
    void Serve(const std::string& service, const std::string& keytab) const {
        std::ofstream(served_) << R"({"configuration": {"port": 50003, "generation": 1, "signOnData": ")" << service
                               << R"(", "cached": ")" << KerberosRealm::kServiceHost << R"("},
          "capability": {"authenticationType": "Device", "accountTrackType": "None", "publicUser": 0},
          "signOn": {"keytab": ")" << keytab
                               << R"("}, "behaviour": {"log": ")" << folder_ << R"(/device.log"}})";
    }
    std::string Log() const {
        std::ifstream in(folder_ + "/device.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    struct Outcome {
        U result = 0;
        int32_t authType = -1;
        int32_t state = -1;
    };
    Outcome SignOn(int32_t state = 0) {
        Outcome o;
        o.state = state;
        auto fn = nvx::ProcAs<U (*)(U, U, U, U, U, U)>(GetProcAddress(module_, "Bidi_PrintStart_SSO"));
        o.result = fn(reinterpret_cast<U>(printer_), 0, 0, 0, reinterpret_cast<U>(&o.authType),
                      reinterpret_cast<U>(&o.state));
        return o;
    }
    std::string DebugOutput() const {
        std::vector<char> out(1 << 16);
        NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
        return out.data();
    }

    KerberosRealm realm_;
    nvxtest::DriverCopy driver_;
    std::string folder_, profiles_, served_;
    std::unique_ptr<nvxo::DeviceServer> server_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
};

TEST_F(SignOnTest, AValidTicketSignsOnWithTheDevice) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    const Outcome o = SignOn();
    EXPECT_EQ(1u, o.result);
    EXPECT_EQ(0, o.state);
    EXPECT_EQ(3, o.authType);  // "Device"
    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("OAPIGetSingleSignOnInfo " + std::string(kDevice) + " 0")) << log;
    EXPECT_NE(std::string::npos, log.find("OAPILogin " + std::string(kDevice) + " 0")) << log;
    // The sign-on's record under the middle server key: whose context, and its integrity token.
    const auto record = nvx::device::ReadSignOnRecord(printer_);
    ASSERT_TRUE(record);
    EXPECT_EQ("alice@NOVRIX.TEST", record->contextId);
    EXPECT_GE(record->micToken.size(), 16u);  // a token header and a checksum
    // The device's configuration summary is kept, naming the device's authentication type.
    std::vector<BYTE> summary;
    {
        nvx::model::RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, nvx::device::OpenDeviceInfoKey(printer_, &key, false));
        nvx::model::ValueStore::OfKey(key.get()).ReadAll(WL("OpenAPIConf"), &summary);
    }
    EXPECT_FALSE(summary.empty());
    // A second sign-on has a context of its own: a new token.
    EXPECT_EQ(1u, SignOn().result);
    const auto second = nvx::device::ReadSignOnRecord(printer_);
    ASSERT_TRUE(second);
    EXPECT_NE(record->micToken, second->micToken);
    // A state of 3 signs on without the exchange; the context is not complete, the record stays.
    const Outcome direct = SignOn(3);
    EXPECT_EQ(1u, direct.result);
    const auto kept = nvx::device::ReadSignOnRecord(printer_);
    ASSERT_TRUE(kept);
    EXPECT_EQ(second->micToken, kept->micToken);
}

TEST_F(SignOnTest, AFailedSignOnLeavesNoRecordOfAnEarlierOne) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    ASSERT_EQ(1u, SignOn().result);
    ASSERT_TRUE(nvx::device::ReadSignOnRecord(printer_));
    Serve("HTTP", realm_.Folder() + "/user.keytab");  // the device now refuses the token
    EXPECT_EQ(2, SignOn().state);
    EXPECT_FALSE(nvx::device::ReadSignOnRecord(printer_));
}

TEST_F(SignOnTest, NoTicketAtAllFailsBeforeTheDeviceIsAsked) {
    const Outcome o = SignOn();
    EXPECT_EQ(0u, o.result);
    EXPECT_EQ(2, o.state);
    EXPECT_EQ(0, o.authType);
    EXPECT_EQ(std::string::npos, Log().find("OAPIGetSingleSignOnInfo"));
    EXPECT_NE(std::string::npos, DebugOutput().find("single sign-on failed (security status 0x8009030E)"));
}

TEST_F(SignOnTest, AnExpiredTicketFails) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("2s", &error)) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));  // past its end and the 1 s clock skew
    const Outcome o = SignOn();
    EXPECT_EQ(0u, o.result);
    EXPECT_EQ(2, o.state);
    EXPECT_EQ(std::string::npos, Log().find("OAPILogin"));
}

TEST_F(SignOnTest, AKdcThatIsDownFails) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    realm_.StopKdc();  // the device's service ticket can no longer be had
    const Outcome o = SignOn();
    EXPECT_EQ(0u, o.result);
    EXPECT_EQ(2, o.state);
    EXPECT_NE(std::string::npos, DebugOutput().find("security status 0x80090311"));
}

TEST_F(SignOnTest, ADeviceWithoutTheServiceKeyRefusesTheToken) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    Serve("HTTP", realm_.Folder() + "/user.keytab");  // holds no key of HTTP/device.test
    const Outcome o = SignOn();
    EXPECT_EQ(0u, o.result);
    EXPECT_EQ(2, o.state);
    EXPECT_NE(std::string::npos, Log().find("OAPIGetSingleSignOnInfo " + std::string(kDevice) + " 4"));
    EXPECT_EQ(std::string::npos, Log().find("OAPILogin"));
}

TEST_F(SignOnTest, ADeviceWithoutSignOnDataHasNothingToSignOnWith) {
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    Serve("", realm_.DeviceKeytab());
    const Outcome o = SignOn();
    EXPECT_EQ(0u, o.result);
    EXPECT_EQ(1, o.state);
    EXPECT_EQ(std::string::npos, Log().find("OAPIGetSingleSignOnInfo"));
}

TEST_F(SignOnTest, TheUsersDomainComesFromTheTicket) {
    WCHAR name[128] = {};
    ULONG size = 128;
    ASSERT_FALSE(GetUserNameExW(NameDnsDomain, name, &size));  // no ticket yet
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_SUCH_DOMAIN), GetLastError());
    std::string error;
    ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
    size = 128;
    ASSERT_TRUE(GetUserNameExW(NameDnsDomain, name, &size));
    EXPECT_EQ("NOVRIX.TEST\\alice", nvx::Utf8FromW(name));
    EXPECT_EQ(17u, size);
    size = 5;
    EXPECT_FALSE(GetUserNameExW(NameUserPrincipal, name, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(18u, size);  // "alice@NOVRIX.TEST" and its terminator
}

// ---- The security support calls themselves, against the test realm ----

// The platform's security support calls as the initiator, GSSAPI with the
// device's keytab as the acceptor (the part a device plays).
class SspiContext : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(realm_.Start(&error)) << "the test realm's KDC could not be started: " << error;
        ASSERT_TRUE(realm_.Kinit("1h", &error)) << error;
        table_ = InitSecurityInterfaceW();
        ASSERT_NE(nullptr, table_);
        nvx::WString package = nvx::WFromUtf8("Kerberos");
        TimeStamp expiry{};
        ASSERT_EQ(SEC_E_OK, table_->AcquireCredentialsHandleW(nullptr, package.data(), SECPKG_CRED_OUTBOUND, nullptr,
                                                               nullptr, nullptr, nullptr, &cred_, &expiry));
        const std::string keytab = "FILE:" + realm_.DeviceKeytab();
        gss_key_value_element_desc element{"keytab", keytab.c_str()};
        gss_key_value_set_desc store{1, &element};
        OM_uint32 minor = 0;
        ASSERT_FALSE(GSS_ERROR(gss_acquire_cred_from(&minor, GSS_C_NO_NAME, GSS_C_INDEFINITE, GSS_C_NO_OID_SET,
                                                     GSS_C_ACCEPT, &store, &acceptorCred_, nullptr, nullptr)));
    }
    void TearDown() override {
        OM_uint32 minor = 0;
        if (haveContext_) table_->DeleteSecurityContext(&ctx_);
        if (table_) table_->FreeCredentialsHandle(&cred_);
        if (acceptor_ != GSS_C_NO_CONTEXT) gss_delete_sec_context(&minor, &acceptor_, GSS_C_NO_BUFFER);
        if (acceptorCred_ != GSS_C_NO_CREDENTIAL) gss_release_cred(&minor, &acceptorCred_);
    }
    // The initiator's first step; the acceptor's answer completes it (mutual authentication).
    SECURITY_STATUS Step(std::vector<BYTE>* out, const std::vector<BYTE>* in = nullptr) {
        nvx::WString target = nvx::WFromUtf8("HTTP/device.test@NOVRIX.TEST");
        SecBuffer inBuffer{in ? static_cast<ULONG>(in->size()) : 0, SECBUFFER_TOKEN,
                           in ? const_cast<BYTE*>(in->data()) : nullptr};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 1, &inBuffer};
        SecBuffer outBuffer{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &outBuffer};
        ULONG attributes = 0;
        TimeStamp expiry{};
        const SECURITY_STATUS s = table_->InitializeSecurityContextW(
            &cred_, haveContext_ ? &ctx_ : nullptr, target.data(),
            ISC_REQ_MUTUAL_AUTH | ISC_REQ_REPLAY_DETECT | ISC_REQ_SEQUENCE_DETECT | ISC_REQ_CONFIDENTIALITY |
                ISC_REQ_INTEGRITY | ISC_REQ_ALLOCATE_MEMORY,
            0, SECURITY_NATIVE_DREP, in ? &inDesc : nullptr, 0, &ctx_, &outDesc, &attributes, &expiry);
        if (s == SEC_E_OK || s == SEC_I_CONTINUE_NEEDED) haveContext_ = true;
        const BYTE* p = static_cast<const BYTE*>(outBuffer.pvBuffer);
        out->assign(p, p + outBuffer.cbBuffer);
        if (outBuffer.pvBuffer) table_->FreeContextBuffer(outBuffer.pvBuffer);
        return s;
    }
    void Establish() {
        std::vector<BYTE> token, answer;
        ASSERT_EQ(SEC_I_CONTINUE_NEEDED, Step(&token));
        OM_uint32 minor = 0;
        gss_buffer_desc in{token.size(), token.data()};
        gss_buffer_desc out{0, nullptr};
        ASSERT_EQ(static_cast<OM_uint32>(GSS_S_COMPLETE),
                  gss_accept_sec_context(&minor, &acceptor_, acceptorCred_, &in, GSS_C_NO_CHANNEL_BINDINGS, nullptr,
                                         nullptr, &out, nullptr, nullptr, nullptr));
        answer.assign(static_cast<BYTE*>(out.value), static_cast<BYTE*>(out.value) + out.length);
        gss_release_buffer(&minor, &out);
        ASSERT_EQ(SEC_E_OK, Step(&token, &answer));
    }
    // MakeSignature over the data buffers; the token as the acceptor receives it.
    SECURITY_STATUS Sign(std::vector<SecBuffer> data, ULONG tokenSize, std::vector<BYTE>* mic, ULONG qop = 0) {
        mic->assign(tokenSize, 0);
        data.push_back(SecBuffer{tokenSize, SECBUFFER_TOKEN, mic->data()});
        SecBufferDesc desc{SECBUFFER_VERSION, static_cast<ULONG>(data.size()), data.data()};
        const SECURITY_STATUS s = table_->MakeSignature(&ctx_, qop, &desc, 0);
        mic->resize(data.back().cbBuffer);
        return s;
    }
    OM_uint32 AcceptorVerifies(const std::string& message, std::vector<BYTE> mic) {
        OM_uint32 minor = 0;
        gss_buffer_desc m{message.size(), const_cast<char*>(message.data())};
        gss_buffer_desc t{mic.size(), mic.data()};
        return gss_verify_mic(&minor, acceptor_, &m, &t, nullptr);
    }
    static SecBuffer Data(std::string& text, ULONG flags = 0) {
        return SecBuffer{static_cast<ULONG>(text.size()), SECBUFFER_DATA | flags, text.data()};
    }

    KerberosRealm realm_;
    PSecurityFunctionTableW table_ = nullptr;
    CredHandle cred_{};
    CtxtHandle ctx_{};
    bool haveContext_ = false;
    gss_cred_id_t acceptorCred_ = GSS_C_NO_CREDENTIAL;
    gss_ctx_id_t acceptor_ = GSS_C_NO_CONTEXT;
};

TEST_F(SspiContext, SizesAndNamesOfAnEstablishedContext) {
    ASSERT_NE(nullptr, table_->QueryContextAttributesW);
    std::vector<BYTE> token;
    ASSERT_EQ(SEC_I_CONTINUE_NEEDED, Step(&token));
    // Not yet established (the device has not answered): nothing to tell.
    SecPkgContext_Sizes sizes{};
    EXPECT_EQ(SEC_E_INVALID_HANDLE, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_SIZES, &sizes));
    table_->DeleteSecurityContext(&ctx_);
    haveContext_ = false;
    Establish();
    ASSERT_EQ(SEC_E_OK, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_SIZES, &sizes));
    EXPECT_EQ(12000u, sizes.cbMaxToken);
    EXPECT_GE(sizes.cbMaxSignature, 16u);
    EXPECT_EQ(1u, sizes.cbBlockSize);
    EXPECT_GT(sizes.cbSecurityTrailer, 0u);
    SecPkgContext_NamesW names{};
    ASSERT_EQ(SEC_E_OK, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_NAMES, &names));
    ASSERT_NE(nullptr, names.sUserName);
    EXPECT_EQ("alice@NOVRIX.TEST", nvx::Utf8FromW(names.sUserName));
    EXPECT_EQ(SEC_E_OK, table_->FreeContextBuffer(names.sUserName));
    // Attributes this layer does not keep, a null buffer, and a credentials handle in a context's place.
    BYTE other[64] = {};
    EXPECT_EQ(SEC_E_UNSUPPORTED_FUNCTION, table_->QueryContextAttributesW(&ctx_, 2, other));
    EXPECT_EQ(SEC_E_INTERNAL_ERROR, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_SIZES, nullptr));
    EXPECT_EQ(SEC_E_INVALID_HANDLE, table_->QueryContextAttributesW(&cred_, SECPKG_ATTR_SIZES, &sizes));
}

TEST_F(SspiContext, TheSignatureIsTheContextsIntegrityTokenOverEveryDataBuffer) {
    Establish();
    SecPkgContext_Sizes sizes{};
    ASSERT_EQ(SEC_E_OK, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_SIZES, &sizes));
    std::string hello = "hello ", world = "world", skipped = "not signed";
    std::vector<BYTE> mic;
    ASSERT_EQ(SEC_E_OK, Sign({Data(hello), Data(skipped, SECBUFFER_READONLY_WITH_CHECKSUM),
                              Data(world, SECBUFFER_READONLY)},
                             sizes.cbMaxSignature, &mic));
    EXPECT_LE(mic.size(), sizes.cbMaxSignature);
    // The device checks it with its side of the context; a changed message fails.
    EXPECT_EQ(static_cast<OM_uint32>(GSS_S_COMPLETE), AcceptorVerifies("hello world", mic));
    std::vector<BYTE> second;
    ASSERT_EQ(SEC_E_OK, Sign({Data(hello)}, sizes.cbMaxSignature, &second));
    EXPECT_EQ(static_cast<OM_uint32>(GSS_S_BAD_SIG), GSS_ROUTINE_ERROR(AcceptorVerifies("hello!", second)));
}

TEST_F(SspiContext, MakeSignatureRefusesWhatWindowsRefuses) {
    std::string text = "message";
    std::vector<BYTE> mic;
    // Before the context is established.
    std::vector<BYTE> token;
    ASSERT_EQ(SEC_I_CONTINUE_NEEDED, Step(&token));
    EXPECT_EQ(SEC_E_INVALID_HANDLE, Sign({Data(text)}, 256, &mic));
    table_->DeleteSecurityContext(&ctx_);
    haveContext_ = false;
    Establish();
    SecPkgContext_Sizes sizes{};
    ASSERT_EQ(SEC_E_OK, table_->QueryContextAttributesW(&ctx_, SECPKG_ATTR_SIZES, &sizes));
    // A token buffer one byte short, a quality of protection, no token buffer at all.
    EXPECT_EQ(SEC_E_BUFFER_TOO_SMALL, Sign({Data(text)}, sizes.cbMaxSignature - 1, &mic));
    EXPECT_EQ(SEC_E_QOP_NOT_SUPPORTED, Sign({Data(text)}, sizes.cbMaxSignature, &mic, 1));
    SecBuffer only = Data(text);
    SecBufferDesc desc{SECBUFFER_VERSION, 1, &only};
    EXPECT_EQ(SEC_E_INVALID_TOKEN, table_->MakeSignature(&ctx_, 0, &desc, 0));
    EXPECT_EQ(SEC_E_INVALID_TOKEN, table_->MakeSignature(&ctx_, 0, nullptr, 0));
    // A deleted context and a handle that never was one.
    CtxtHandle gone = ctx_;
    ASSERT_EQ(SEC_E_OK, table_->DeleteSecurityContext(&ctx_));
    haveContext_ = false;
    std::swap(gone, ctx_);
    EXPECT_EQ(SEC_E_INVALID_HANDLE, Sign({Data(text)}, sizes.cbMaxSignature, &mic));
    ctx_ = CtxtHandle{0x1234, 0x5678};
    EXPECT_EQ(SEC_E_INVALID_HANDLE, Sign({Data(text)}, sizes.cbMaxSignature, &mic));
    ctx_ = CtxtHandle{};
}

// ---- Base64 of the exchange (no realm needed) ----

std::string Encode(const std::string& bytes, DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF) {
    DWORD size = 0;
    const BYTE* p = reinterpret_cast<const BYTE*>(bytes.data());
    if (!CryptBinaryToStringA(p, static_cast<DWORD>(bytes.size()), flags, nullptr, &size)) return "<refused>";
    std::string text(size, '\0');
    if (!CryptBinaryToStringA(p, static_cast<DWORD>(bytes.size()), flags, text.data(), &size)) return "<refused>";
    text.resize(size);
    return text;
}

TEST(SignOnBase64, TheStandardsVectorsBothWays) {
    // RFC 4648, section 10.
    const char* vectors[][2] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},       {"foo", "Zm9v"},
                                {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& v : vectors) {
        EXPECT_EQ(v[1], Encode(v[0])) << v[0];
        if (!*v[0]) continue;
        auto decoded = nvx::device::DecodeSignOnAnswer(v[1], std::strlen(v[1]) + 1);
        ASSERT_TRUE(decoded) << v[1];
        EXPECT_EQ(v[0], std::string(decoded->begin(), decoded->end()));
    }
    // Without NOCRLF: CR LF after every 64 characters and at the end.
    const std::string long48(48, 'x');
    EXPECT_EQ(66u, Encode(long48, CRYPT_STRING_BASE64).size());
    EXPECT_EQ("\r\n", Encode(long48, CRYPT_STRING_BASE64).substr(64));
}

TEST(SignOnBase64, MalformedOrUnterminatedAnswersAreRefused) {
    using nvx::device::DecodeSignOnAnswer;
    for (const char* bad : {"Zg=", "Z===", "Zg==Zg==", "Zm9v!", "Zm 9v=x"})
        EXPECT_FALSE(DecodeSignOnAnswer(bad, std::strlen(bad) + 1)) << bad;
    EXPECT_FALSE(DecodeSignOnAnswer("", 1));
    const char unterminated[4] = {'Z', 'm', '9', 'v'};
    EXPECT_FALSE(DecodeSignOnAnswer(unterminated, sizeof unterminated));  // never read past the answer
    EXPECT_TRUE(DecodeSignOnAnswer("Zm9v\r\nYmFy", 11));                  // line ends are skipped
    // A buffer too small is refused with the size it needs.
    DWORD size = 2;
    BYTE out[2];
    EXPECT_FALSE(CryptStringToBinaryA("Zm9v", 0, CRYPT_STRING_BASE64, out, &size, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(3u, size);
    // Tokens whose text would not fit the exchange are not sent.
    EXPECT_FALSE(nvx::device::EncodeSignOnToken(std::vector<BYTE>(18000, 1)));
    EXPECT_TRUE(nvx::device::EncodeSignOnToken(std::vector<BYTE>(17000, 1)));
}

TEST(SignOnNames, TheServicePrincipalName) {
    const BYTE service[64] = "HTTP";
    const BYTE host[256] = "device.test";
    EXPECT_EQ("HTTP/device.test@NOVRIX.TEST", *nvx::device::ServicePrincipalName(service, host, "NOVRIX.TEST"));
    EXPECT_EQ("HTTP/device.test", *nvx::device::ServicePrincipalName(service, host, ""));
    const BYTE empty[64] = {};
    EXPECT_FALSE(nvx::device::ServicePrincipalName(empty, host, "NOVRIX.TEST"));
    EXPECT_EQ("NOVRIX.TEST", nvx::device::DomainOfDnsName("NOVRIX.TEST\\alice"));
    EXPECT_EQ("", nvx::device::DomainOfDnsName("alice"));
}

}  // namespace
