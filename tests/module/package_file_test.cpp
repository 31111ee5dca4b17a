// Opening package files, and file mode (the fallback when no image can be
// allocated) answering exactly as image mode does, also for damaged packages.
#include <fstream>
#include <random>
#include <string>

#include "package_test_util.h"
#include "support/platform_test.h"

using namespace nvx::model;
using pkgtest::Build;

namespace {

const char* kSource = R"({"layout": "directory52", "entries": [
  {"name": "Property_0", "default": "B", "display": ["C", "A", "B"], "flags": ["reorder"],
   "items": [["A", "Alpha"], ["B", "Beta"], ["C", "Gamma"]]},
  {"name": "MessageStr", "items": [["M1", "one"], ["M2", "two"], ["Title", "title"]]},
  {"name": "Copies", "range": {"min": 1, "max": 99, "default": 1}, "items": [["Copies", "Copies"]]}
]})";

// Everything a loader can ask, as one text to compare.
std::string Answers(const Package& pkg) {
    std::string out;
    for (const char* name : {"Property_0", "MessageStr", "Copies", "Missing"}) {
        out += std::to_string(pkg.FindEntry(name)) + ";";
        char def[32] = "-";
        out += pkg.ReadDefaultName(name, def, sizeof def) ? def : "!";
        int32_t r[3] = {};
        out += RangeLoad(pkg, name, r) ? std::to_string(r[0]) + "," + std::to_string(r[1]) : "!";
        WCHAR slots[4 * 16] = {};
        NumberedStringLoad(pkg, name, slots, 16, 4);
        for (int i = 0; i < 4; ++i) out += "|" + pkgtest::Utf8(slots + 16 * i);
        WCHAR v[32] = {};
        out += KeyedValueLoad(pkg, name, "B", v, 32) ? pkgtest::Utf8(v) : "!";
        EntryInfo e;
        if (pkg.GetEntry(name, &e))
            pkg.ForEachItem(e, ItemOrder::Index, [&](uint32_t at) { return out += "@" + std::to_string(at), true; });
        out += "\n";
    }
    return out;
}

void WriteFile(const std::string& path, const vpdc::Bytes& b) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
}

class PackageFile : public PlatformTest {};

}  // namespace

TEST_F(PackageFile, OpensFilesAndRefusesWhatCannotBeOpened) {
    std::string path = Root() + "/NOVRIX_D.VPD";
    WriteFile(path, Build(kSource));
    auto pkg = Package::Open(nvx::WFromUtf8(path).c_str());
    ASSERT_TRUE(pkg);
    EXPECT_TRUE(pkg->ImageMode());
    EXPECT_EQ(pkgtest::Utf8(pkg->Path()), path);
    auto fileMode = Package::Open(nvx::WFromUtf8(path).c_str(), PackageOpenMode::FileOnly);
    ASSERT_TRUE(fileMode);
    EXPECT_FALSE(fileMode->ImageMode());
    EXPECT_EQ(fileMode->Size(), pkg->Size());

    SetLastError(0);
    EXPECT_FALSE(Package::Open(nvx::WFromUtf8(Root() + "/NOVRIX_X.VPD").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Package::Open(nullptr));
    EXPECT_FALSE(Package::Open(WL("")));

    // An empty file opens, and has nothing in it.
    WriteFile(Root() + "/EMPTY.VPD", {});
    auto empty = Package::Open(nvx::WFromUtf8(Root() + "/EMPTY.VPD").c_str());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Size(), 0u);
    EXPECT_EQ(empty->FindEntry("Property_0"), 0u);
}

TEST_F(PackageFile, FileModeAnswersAsImageModeEvenForDamagedPackages) {
    const vpdc::Bytes good = Build(kSource);
    std::mt19937 rng(12345);
    std::string path = Root() + "/P.VPD";
    for (int round = 0; round < 120; ++round) {
        vpdc::Bytes b = good;
        if (round > 0) {
            // Damage: overwrite 32-bit words with nearby offsets, huge values or cut the file.
            for (int k = 0; k < 1 + round % 4; ++k) {
                uint32_t at = rng() % (static_cast<uint32_t>(b.size()) - 4) & ~3u;
                uint32_t values[] = {0, 8, at, at + 4, static_cast<uint32_t>(b.size()), 0x7fffffff, static_cast<uint32_t>(rng() % 600)};
                pkgtest::Put32(b, at, values[rng() % 7]);
            }
            if (round % 9 == 0) b.resize(rng() % b.size());
        }
        WriteFile(path, b);
        auto image = Package::Open(nvx::WFromUtf8(path).c_str());
        auto file = Package::Open(nvx::WFromUtf8(path).c_str(), PackageOpenMode::FileOnly);
        ASSERT_TRUE(image && file);
        ASSERT_EQ(Answers(*file), Answers(*image)) << "round " << round;
    }
}
