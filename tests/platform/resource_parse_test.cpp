// The .res parser fed well-formed, cut and corrupted data (Linux only: it tests
// the layer's own index directly).  Every image lives in a buffer of exactly its
// size, so that AddressSanitizer catches any read past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "common/le.h"
#include "platform/linux/kernel32/resource_index.h"

namespace {

using nvxp::ResourceEntry;
using nvxp::ResourceId;
using nvxp::ResourceIndex;

// Builds .res images entry by entry, as windres writes them.
class ResWriter {
public:
    ResWriter() { Add(Ordinal(0), Ordinal(0), 0, {}); }  // the empty marker entry

    static std::vector<uint16_t> Ordinal(uint16_t n) { return {0xFFFF, n}; }
    static std::vector<uint16_t> Name(const char* s) {
        std::vector<uint16_t> out;
        while (*s) out.push_back(static_cast<uint8_t>(*s++));
        out.push_back(0);
        return out;
    }

    void Add(const std::vector<uint16_t>& type, const std::vector<uint16_t>& name, uint16_t language,
             const std::vector<uint8_t>& data) {
        size_t start = bytes_.size();
        Put32(static_cast<uint32_t>(data.size()));
        Put32(0);  // header size, patched below
        for (uint16_t v : type) Put16(v);
        for (uint16_t v : name) Put16(v);
        while (bytes_.size() % 4) bytes_.push_back(0);
        Put32(0);         // DataVersion
        Put16(0x1030);    // MemoryFlags
        Put16(language);  // LanguageId
        Put32(0);         // Version
        Put32(0);         // Characteristics
        nvx::PutLE32(&bytes_[start + 4], static_cast<uint32_t>(bytes_.size() - start));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void Put16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Put32(uint32_t v) {
        Put16(static_cast<uint16_t>(v));
        Put16(static_cast<uint16_t>(v >> 16));
    }
    std::vector<uint8_t> bytes_;
};

ResourceId Id(LPCWSTR argument) {
    ResourceId id;
    EXPECT_TRUE(ResourceId::FromArgument(argument, &id));
    return id;
}

std::vector<uint8_t> Sample() {
    ResWriter w;
    w.Add(ResWriter::Ordinal(10), ResWriter::Ordinal(101), 0x0409, {1, 2, 3});
    w.Add(ResWriter::Ordinal(10), ResWriter::Name("Config"), 0x0409, {'a', 'b', 'c', 0});
    w.Add(ResWriter::Name("MyType"), ResWriter::Ordinal(1), 0x0000, {9});
    w.Add(ResWriter::Ordinal(6), ResWriter::Ordinal(1), 0x0407, {0, 0});
    w.Add(ResWriter::Ordinal(6), ResWriter::Ordinal(1), 0x0409, {0, 0, 0, 0});
    return w.Bytes();
}

TEST(ResourceParse, IndexesEveryEntryOfAWellFormedImage) {
    std::vector<uint8_t> image = Sample();
    ResourceIndex index(image.data(), image.size());
    ASSERT_EQ(index.Entries().size(), 5u);  // the marker is not an entry
    DWORD error = 0;
    const ResourceEntry* e = index.Find(Id(MAKEINTRESOURCEW(10)), Id(MAKEINTRESOURCEW(101)), 0, &error);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->size, 3u);
    EXPECT_EQ(e->data[2], 3);
    EXPECT_TRUE(index.Owns(e));
    EXPECT_FALSE(index.Owns(reinterpret_cast<const char*>(e) + 1));

    EXPECT_EQ(index.Find(Id(u"#10"), Id(u"CONFIG"), 0, &error), &index.Entries()[1]);
    EXPECT_EQ(index.Find(Id(u"mytype"), Id(u"#1"), 0, &error), &index.Entries()[2]);
    EXPECT_EQ(index.Find(Id(u"MYTYPE"), Id(u"#2"), 0, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(index.Find(Id(MAKEINTRESOURCEW(5)), Id(u"#1"), 0, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

    // Language: the user default before another language listed first.
    e = index.Find(Id(MAKEINTRESOURCEW(6)), Id(MAKEINTRESOURCEW(1)), 0, &error);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->language, 0x0409);
    e = index.Find(Id(MAKEINTRESOURCEW(6)), Id(MAKEINTRESOURCEW(1)), 0x0407, &error);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->language, 0x0407);
    EXPECT_EQ(index.Find(Id(MAKEINTRESOURCEW(6)), Id(MAKEINTRESOURCEW(1)), 0x040C, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));

    ResourceIndex empty(nullptr, 0);
    EXPECT_EQ(empty.Find(Id(u"#10"), Id(u"#1"), 0, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(ResourceParse, NamesAndOrdinalArguments) {
    ResourceId id = Id(u"#123");
    EXPECT_TRUE(id.isOrdinal);
    EXPECT_EQ(id.ordinal, 123);
    EXPECT_FALSE(Id(u"#12a").isOrdinal);
    EXPECT_FALSE(Id(u"#70000").isOrdinal);
    EXPECT_FALSE(Id(u"#").isOrdinal);
    EXPECT_EQ(Id(u"dialog").name, nvx::WString(u"DIALOG"));
    ResourceId none;
    EXPECT_FALSE(ResourceId::FromArgument(nullptr, &none));
}

TEST(ResourceParse, CutImagesKeepTheEntriesBeforeTheCut) {
    std::vector<uint8_t> image = Sample();
    size_t previous = 0;
    for (size_t size = 0; size <= image.size(); ++size) {
        std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
        ResourceIndex index(cut.data(), cut.size());
        EXPECT_GE(index.Entries().size(), previous) << size;
        previous = index.Entries().size();
        for (const auto& e : index.Entries()) {
            EXPECT_GE(e.data, cut.data());
            EXPECT_LE(e.data + e.size, cut.data() + cut.size());
        }
    }
    EXPECT_EQ(previous, 5u);
}

TEST(ResourceParse, MalformedHeadersStopTheParse) {
    std::vector<uint8_t> image = Sample();
    const size_t second = 32;  // the first real entry follows the 32-byte marker
    auto parsedWith = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> bad = image;
        nvx::PutLE32(&bad[offset], value);
        return ResourceIndex(bad.data(), bad.size()).Entries().size();
    };
    EXPECT_EQ(parsedWith(second, 0xFFFFFFFFu), 0u);      // data size past the end
    EXPECT_EQ(parsedWith(second + 4, 0xFFFFFFF0u), 0u);  // header size past the end
    EXPECT_EQ(parsedWith(second + 4, 8), 0u);            // header too small
    EXPECT_EQ(parsedWith(second + 4, 34), 0u);           // header not DWORD aligned

    // A name that runs to the end of its header without a terminator.
    ResWriter w;
    w.Add(ResWriter::Name("ABCDEFGHIJKL"), ResWriter::Ordinal(1), 0, {1});
    std::vector<uint8_t> bad = w.Bytes();
    for (size_t i = second + 8; i < second + nvx::GetLE32(&bad[second + 4]); ++i) bad[i] = 'Z';
    EXPECT_EQ(ResourceIndex(bad.data(), bad.size()).Entries().size(), 0u);
}

TEST(ResourceParse, RandomCorruptionNeverReadsOutside) {
    std::vector<uint8_t> image = Sample();
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bad = image;
        int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) bad[rng() % bad.size()] = static_cast<uint8_t>(rng());
        bad.resize(rng() % (bad.size() + 1));
        ResourceIndex index(bad.data(), bad.size());
        DWORD error = 0;
        index.Find(Id(MAKEINTRESOURCEW(6)), Id(MAKEINTRESOURCEW(1)), 0, &error);
        for (const auto& e : index.Entries()) {
            ASSERT_GE(e.data, bad.data());
            ASSERT_LE(e.data + e.size, bad.data() + bad.size());
        }
        index.Types();
    }
}

}  // namespace
