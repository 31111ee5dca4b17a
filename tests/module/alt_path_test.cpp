// Job start on a model whose device link runs through the host's alternative
// library: each export hands its arguments unchanged to the host's "Alt_"
// function and answers what it answers; an export whose function the host lacks
// answers its "not asked" code; the device is never asked.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/proc.h"
#include "platform/host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "vpdc.h"

namespace {

using U = UINT_PTR;

class AltPath : public PlatformTest {
protected:
    void SetUp() override {
        vpdc::Json src = vpdc::ReadSource(NVX_SAMPLE_MODEL, true);
        for (vpdc::Json& e : src["entries"])
            if (e["name"] == "MachineInfo")
                for (vpdc::Json& item : e["items"])
                    if (item[0] == "AltDeviceLibrary") item[1] = "1";
        const vpdc::Bytes bytes = vpdc::Compile(src);
        driver_.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
        std::ifstream in(NVX_ALT_HOST, std::ios::binary);
        ASSERT_TRUE(in.good()) << NVX_ALT_HOST;
        driver_.Write("NOVRIX_D.DLL", std::string(std::istreambuf_iterator<char>(in), {}));
        PlatformTest::SetUp();
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        host_ = GetModuleHandleW(WL("NOVRIX_D.DLL"));
        ASSERT_NE(nullptr, host_);
        NvxPlatform_ClearDebugOutput();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    template <typename Fn>
    Fn Export(const char* name) const {
        return nvx::ProcAs<Fn>(GetProcAddress(module_, name));
    }
    std::string Last() const { return nvx::ProcAs<const char* (*)()>(GetProcAddress(host_, "AltLast"))(); }
    std::vector<U> Args() const {
        auto count = nvx::ProcAs<int (*)()>(GetProcAddress(host_, "AltArgCount"));
        auto arg = nvx::ProcAs<U (*)(int)>(GetProcAddress(host_, "AltArg"));
        std::vector<U> out;
        for (int i = 0; i < count(); ++i) out.push_back(arg(i));
        return out;
    }

    nvxtest::DriverCopy driver_;
    HMODULE module_ = nullptr;
    HMODULE host_ = nullptr;
};

TEST_F(AltPath, EachExportHandsItsArgumentsToTheHostsAlternativeFunction) {
    char detail[32] = "stale";
    int marker = 0;
    using Verify = U (*)(U, U, U, U, U, U, U, U, U, U, U, U, U);
    const std::vector<U> given = {11, 12, 13, 14, 15, reinterpret_cast<U>(detail), sizeof detail, 18, 19, 20, 21,
                                  22, 0};  // a flag of 0: still handed on
    EXPECT_EQ(72u, Export<Verify>("Bidi_PrintStart_VerifyAndEncryptKey")(given[0], given[1], given[2], given[3],
                                                                           given[4], given[5], given[6], given[7],
                                                                           given[8], given[9], given[10], given[11],
                                                                           given[12]));
    EXPECT_EQ("VerifyAndEncryptKey", Last());
    EXPECT_EQ(given, Args());
    EXPECT_STREQ("AltDetail", detail);

    using CreateDC = U (*)(UINT*, U, U);
    EXPECT_EQ(71u, Export<CreateDC>("Bidi_DocumentEvent_CreateDC")(reinterpret_cast<UINT*>(&marker), 5, 6));
    EXPECT_EQ("CreateDC", Last());
    EXPECT_EQ((std::vector<U>{reinterpret_cast<U>(&marker), 5, 6}), Args());

    int32_t authType = 0, state = 3;
    using Sso = U (*)(U, U, U, U, U, U);
    EXPECT_EQ(73u, Export<Sso>("Bidi_PrintStart_SSO")(1, 2, 3, 4, reinterpret_cast<U>(&authType),
                                                     reinterpret_cast<U>(&state)));
    EXPECT_EQ("SSO", Last());
    EXPECT_EQ(9, state) << "the host's answer, not the module's";
}

TEST_F(AltPath, AnExportWhoseFunctionTheHostLacksAnswersNotAskedAndAsksNoDevice) {
    using GetKey = U (*)(U, U, U, U, U, U);
    std::vector<BYTE> devOption(nvx::settings::kDevOptionSize, 0);
    EXPECT_EQ(0u, Export<GetKey>("Bidi_PrintStart_GetEncryptionKey")(1, 0, 0, 0,
                                                                      reinterpret_cast<U>(devOption.data()), 1));
    using IsCommunicate = U (*)(U, U, U, U, U);
    int32_t authType = 5;
    EXPECT_EQ(1u, Export<IsCommunicate>("Bidi_PrintStart_IsCommunicate")(1, reinterpret_cast<U>(devOption.data()), 0,
                                                                         0, reinterpret_cast<U>(&authType)));
    EXPECT_EQ(0, authType);
    using GetCapability = U (*)(U, U, U, U, U, U, U);
    EXPECT_EQ(16u, Export<GetCapability>("Bidi_PrintStart_GetAuthCapability")(1, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ("", Last()) << "no alternative function was called";
    EXPECT_EQ(std::vector<BYTE>(nvx::settings::kDevOptionSize, 0), devOption);
}

}  // namespace
