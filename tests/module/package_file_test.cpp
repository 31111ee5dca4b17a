// Opening package files, and file mode (the fallback when no image can be
// allocated) answering exactly as image mode does, also for damaged packages.
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "package_test_util.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

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

// The offset of the directory's entry number n (52-byte layout), by its links.
uint32_t Get32Entry(const vpdc::Bytes& b, int n) {
    uint32_t at = 8;
    for (int i = 0; i < n; ++i) at = pkgtest::Get32(b, at + 48);
    return at;
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

// The module's open: a package whose directory points past the end of the file is
// damaged, named on the debugger output with the entry, and not used at all; a
// well-formed package opens however few entries it has.
TEST_F(PackageFile, DamagedDirectoryPackagesAreRefusedAndNamed) {
    const std::string path = Root() + "/NOVRIX_D.VPD";
    const nvx::WString wide = nvx::WFromUtf8(path);
    auto damaged = [&](const vpdc::Bytes& b, uint32_t entrySize = 52) -> std::string {
        WriteFile(path, b);
#ifndef _WIN32
        NvxPlatform_ClearDebugOutput();
#endif
        SetLastError(0);
        auto pkg = Package::OpenDirectory(wide.c_str(), entrySize);
        if (pkg) return {};
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
        std::string what;
        auto plain = Package::Open(wide.c_str());  // the reader itself stays tolerant
        EXPECT_TRUE(plain && !plain->CheckDirectory(entrySize, &what));
#ifndef _WIN32
        char out[2048] = {};
        NvxPlatform_GetDebugOutput(out, sizeof out);
        EXPECT_EQ(std::string(out), "NOVRIX_U: the package " + path + " is damaged and is not used: " + what + "\n");
#endif
        return what.empty() ? "?" : what;
    };

    const vpdc::Bytes good = Build(kSource);
    EXPECT_EQ(damaged(good), "");
    EXPECT_EQ(damaged(Build(pkgtest::Directory(R"({"name": "Version", "items": [["Ver_driver", "9"]]})"))), "");
    EXPECT_EQ(damaged(Build(pkgtest::Directory(""))), "");  // no entries at all: nothing points anywhere

    // Cut to half: the directory is whole, the items of its entries are gone.
    vpdc::Bytes half(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    std::string what = damaged(half);
    EXPECT_NE(what.find("entry \""), std::string::npos) << what;
    EXPECT_NE(what.find("past the end of the file (" + std::to_string(half.size()) + " bytes)"),
              std::string::npos) << what;

    // Each pointer of an entry, one at a time.
    const uint32_t second = Get32Entry(good, 1);
    const uint32_t past = static_cast<uint32_t>(good.size());
    vpdc::Bytes b = good;
    pkgtest::Put32(b, second + 32, past);  // first item
    EXPECT_EQ(damaged(b), "entry \"MessageStr\": its first item (at " + std::to_string(past) +
                              ") lies past the end of the file (" + std::to_string(past) + " bytes)");
    b = good;
    pkgtest::Put32(b, second + 52 + 4, past - 8);  // default item: 16 bytes do not fit
    EXPECT_EQ(damaged(b).rfind("entry \"MessageStr\": its default item", 0), 0u);
    b = good;
    pkgtest::Put32(b, second + 52, 0x10000000);  // a count the index cannot hold
    EXPECT_EQ(damaged(b).rfind("entry \"MessageStr\": its item index", 0), 0u);
    b = good;
    const uint32_t index = pkgtest::Get32(good, second + 52 + 8);
    pkgtest::Put32(b, index + 4, past + 64);  // one position of the index
    EXPECT_EQ(damaged(b).rfind("entry \"MessageStr\": position 1 of its item index", 0), 0u);
    b = good;
    pkgtest::Put32(b, 4, past + 1);  // the directory end
    EXPECT_EQ(damaged(b).rfind("header: the directory end", 0), 0u);
    EXPECT_EQ(damaged(vpdc::Bytes(good.begin(), good.begin() + 6)).rfind("header:", 0), 0u);
    // A link to an entry that the file cuts through.
    b = good;
    pkgtest::Put32(b, 4, past);
    pkgtest::Put32(b, second + 48, past - 20);
    EXPECT_EQ(damaged(b), "entry at " + std::to_string(past - 20) + ": the entry runs past the end of the file (" +
                              std::to_string(past) + " bytes)");
    // Offsets 0 point at nothing; a link back to an earlier entry ends the walk.
    b = good;
    pkgtest::Put32(b, second + 32, 0);
    pkgtest::Put32(b, second + 52 + 4, 0);
    pkgtest::Put32(b, second + 48, 8);
    EXPECT_EQ(damaged(b), "");

    // The 40-byte layout (the command package).
    const vpdc::Bytes m = Build(R"({"layout": "directory40", "entries": [
        {"name": "Version", "items": [["Ver_Command", "3.1.4"]]}]})");
    EXPECT_EQ(damaged(m, 40), "");
    b = m;
    pkgtest::Put32(b, 8 + 32, static_cast<uint32_t>(m.size()) + 100);
    EXPECT_EQ(damaged(b, 40).rfind("entry \"Version\": its first item", 0), 0u);
}

// The module's open keeps the directory's answers by name: every lookup answers as
// the walk over the links does, also for names in another case, names that repeat
// (the first on the walk wins), links that loop back and packages whose later
// entries are damaged, and a lookup of the other layout still walks.
TEST_F(PackageFile, IndexedLookupsAnswerAsTheDirectoryWalk) {
    const std::string path = Root() + "/NOVRIX_D.VPD";
    const nvx::WString wide = nvx::WFromUtf8(path);
    const std::string over(40, 'A');
    const char* names[] = {"Property_0", "property_0", "PROPERTY_0", "MessageStr", "messagestr", "Copies",
                           "Copie",      "Copies ",    "",           "Missing",    over.c_str(), nullptr};
    auto answers = [&](const Package& pkg) {
        std::string out;
        for (const char* name : names)
            out += std::to_string(pkg.FindEntry(name)) + "/" + std::to_string(pkg.FindEntry40(name)) + ";";
        return out;
    };
    const vpdc::Bytes good = Build(kSource);
    const uint32_t first = Get32Entry(good, 0), second = Get32Entry(good, 1), third = Get32Entry(good, 2);
    std::vector<vpdc::Bytes> cases;
    cases.push_back(good);
    vpdc::Bytes b = good;
    std::memcpy(b.data() + third, "property_0", 11);  // the name again, in another case
    cases.push_back(b);
    b = good;
    pkgtest::Put32(b, second + 48, first);  // links back to the first entry
    cases.push_back(b);
    b = good;
    pkgtest::Put32(b, second + 48, second);  // links to itself
    cases.push_back(b);
    b = good;
    pkgtest::Put32(b, first + 48, 0);  // the walk ends after the first entry
    cases.push_back(b);
    size_t opened = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        WriteFile(path, cases[i]);
        auto indexed = Package::OpenDirectory(wide.c_str(), 52);
        auto plain = Package::Open(wide.c_str());
        ASSERT_TRUE(plain);
        if (!indexed) continue;
        ++opened;
        EXPECT_EQ(answers(*indexed), answers(*plain)) << "case " << i;
    }
    EXPECT_EQ(opened, cases.size());
    // Spot checks of what the walk answers, so that both cannot be wrong alike.
    WriteFile(path, cases[1]);
    auto pkg = Package::OpenDirectory(wide.c_str(), 52);
    ASSERT_TRUE(pkg);
    EXPECT_EQ(pkg->FindEntry("PROPERTY_0"), first);
    EXPECT_EQ(pkg->FindEntry("MessageStr"), second);
    EXPECT_EQ(pkg->FindEntry("Copies"), 0u);
    EXPECT_EQ(pkg->FindEntry(nullptr), 0u);
}
