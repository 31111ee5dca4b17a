// Counted lists and chunked values in both stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "model/stores.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::model;
using Bytes = std::vector<BYTE>;

const NumberedNames kMarks{WL("WaterMark%d"), 1};
const NumberedNames kChunks{WL("EasySetData%04d"), 1};
const NumberedNames kOrder{WL("WMOrder%02d"), 0};

class StoresListsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Lists Fax"));
        ASSERT_NE(nullptr, printer_);
        ASSERT_EQ(ERROR_SUCCESS, CreateUserKey(printer_, &key_));
    }
    void TearDown() override {
        key_.Close();
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    std::vector<ValueStore> Stores() const {
        return {ValueStore::OfPrinter(printer_), ValueStore::OfKey(key_.get())};
    }
    static bool Has(const ValueStore& store, const WCHAR* name) {
        Bytes data;
        return store.ReadAll(name, &data) == ERROR_SUCCESS;
    }
    static ListWrite Write(const ValueStore& store, const std::vector<Bytes>& items,
                           OnWriteFailure onFailure = OnWriteFailure::KeepOldCount,
                           const NumberedNames& names = kMarks) {
        std::vector<ValueBytes> values;
        for (const Bytes& item : items) values.push_back({item.data(), static_cast<DWORD>(item.size())});
        return WriteList(store, WL("WMInfoCnt"), names, REG_BINARY, values, onFailure);
    }
    static Bytes Pattern(size_t size, BYTE seed) {
        Bytes data(size);
        for (size_t i = 0; i < size; ++i) data[i] = static_cast<BYTE>(seed + i * 31);
        return data;
    }

    HANDLE printer_ = nullptr;
    RegKey key_;
};

TEST_F(StoresListsTest, ShorterWriteLeavesNoStaleValues) {
    for (const ValueStore& store : Stores()) {
        ListWrite w = Write(store, {Pattern(449, 1), Pattern(449, 2), Pattern(449, 3), Pattern(449, 4)});
        EXPECT_TRUE(w.ok());
        EXPECT_EQ(4u, w.written);
        // A stray value behind the count, as an interrupted earlier write leaves it.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(WL("WaterMark5"), 1));

        SetLastError(ERROR_FILE_NOT_FOUND);
        w = Write(store, {Pattern(449, 9)});
        EXPECT_TRUE(w.ok());
        EXPECT_EQ(DWORD(ERROR_SUCCESS), GetLastError());
        uint32_t count = 0;
        EXPECT_TRUE(ReadCount(store, WL("WMInfoCnt"), &count));
        EXPECT_EQ(1u, count);
        EXPECT_TRUE(Has(store, WL("WaterMark1")));
        for (const WCHAR* stale : {WL("WaterMark2"), WL("WaterMark3"), WL("WaterMark4"), WL("WaterMark5")})
            EXPECT_FALSE(Has(store, stale)) << nvx::Utf8FromW(stale);

        std::vector<Bytes> values;
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::Stop, &values, 449));
        ASSERT_EQ(1u, values.size());
        EXPECT_EQ(Pattern(449, 9), values[0]);

        // An empty list: count 0, every value gone.
        EXPECT_TRUE(Write(store, {}).ok());
        EXPECT_TRUE(ReadCount(store, WL("WMInfoCnt"), &count));
        EXPECT_EQ(0u, count);
        EXPECT_FALSE(Has(store, WL("WaterMark1")));
    }
}

TEST_F(StoresListsTest, FailedWritesAndTheirCount) {
    // Positions 0 to 9 have names; the eleventh is too long to be written.
    std::u16string format(126, u'w');
    format += u"%d";
    NumberedNames names{reinterpret_cast<const WCHAR*>(format.c_str()), 0};
    std::vector<Bytes> eleven(11, Bytes{1, 2, 3});
    for (const ValueStore& store : Stores()) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(WL("WMInfoCnt"), 3));
        ListWrite w = Write(store, eleven, OnWriteFailure::KeepOldCount, names);
        EXPECT_FALSE(w.ok());
        EXPECT_EQ(DWORD(ERROR_INVALID_NAME), w.error);
        EXPECT_EQ(10u, w.written);
        uint32_t count = 0;
        EXPECT_TRUE(ReadCount(store, WL("WMInfoCnt"), &count));
        EXPECT_EQ(3u, count);  // untouched

        w = Write(store, eleven, OnWriteFailure::CountWritten, names);
        EXPECT_EQ(10u, w.written);
        EXPECT_TRUE(ReadCount(store, WL("WMInfoCnt"), &count));
        EXPECT_EQ(10u, count);
    }
    // No rights at all: nothing written, the count stays.
    PrinterHandle use;
    ASSERT_TRUE(use.Open(WL("Lists Fax")));
    ValueStore shared = ValueStore::OfPrinter(use.get());
    ListWrite w = Write(shared, {Bytes{1}}, OnWriteFailure::CountWritten);
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), w.error);
    EXPECT_EQ(0u, w.written);
    uint32_t count = 0;
    EXPECT_TRUE(ReadCount(shared, WL("WMInfoCnt"), &count));
    EXPECT_EQ(10u, count);
}

TEST_F(StoresListsTest, ReadingAroundMissingValues) {
    for (const ValueStore& store : Stores()) {
        ASSERT_TRUE(Write(store, {Pattern(449, 1), Pattern(449, 2), Pattern(449, 3)}).ok());
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("WaterMark2")));
        std::vector<Bytes> values;
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::Stop, &values));
        EXPECT_EQ(1u, values.size());
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::Skip, &values));
        ASSERT_EQ(2u, values.size());
        EXPECT_EQ(Pattern(449, 3), values[1]);
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::DiscardAll, &values));
        EXPECT_TRUE(values.empty());

        // A value of another size counts as missing when sizes are fixed.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("WaterMark2"), REG_BINARY, Pattern(448, 0).data(), 448));
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::DiscardAll, &values, 449));
        EXPECT_TRUE(values.empty());
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 30, OnMissingValue::DiscardAll, &values));
        EXPECT_EQ(3u, values.size());
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 2, OnMissingValue::Stop, &values));
        EXPECT_EQ(2u, values.size());  // the limit

        // A damaged count reads no further than the limit; no count: an empty list.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(WL("WMInfoCnt"), 0xFFFFFFFF));
        EXPECT_TRUE(ReadList(store, WL("WMInfoCnt"), kMarks, 50, OnMissingValue::Skip, &values));
        EXPECT_EQ(3u, values.size());
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("WMInfoCnt")));
        EXPECT_FALSE(ReadList(store, WL("WMInfoCnt"), kMarks, 50, OnMissingValue::Skip, &values));
        EXPECT_TRUE(values.empty());
        // Without a count value the list ends at the first missing value.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("WaterMark2")));
        EXPECT_TRUE(ReadList(store, nullptr, kMarks, 50, OnMissingValue::Skip, &values));
        EXPECT_EQ(1u, values.size());
    }
}

TEST_F(StoresListsTest, ChunkedValues) {
    for (const ValueStore& store : Stores()) {
        Bytes big = Pattern(40000, 7);
        ListWrite w = WriteChunked(store, WL("EasySetDataCnt"), kChunks, big.data(), big.size(), 16384);
        EXPECT_TRUE(w.ok());
        EXPECT_EQ(3u, w.written);
        Bytes chunk;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.ReadAll(WL("EasySetData0003"), &chunk));
        EXPECT_EQ(40000u - 2 * 16384, chunk.size());
        Bytes back;
        EXPECT_TRUE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, 1000, &back));
        EXPECT_EQ(big, back);

        // A count of 2 with only the first chunk gives the first chunk.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("EasySetData0002")));
        EXPECT_TRUE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, 1000, &back));
        EXPECT_EQ(Bytes(big.begin(), big.begin() + 16384), back);
        // A huge count costs nothing beyond what is stored.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(WL("EasySetDataCnt"), 0x7FFFFFFF));
        EXPECT_TRUE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, UINT32_MAX, &back));
        EXPECT_EQ(16384u, back.size());
        // A chunk larger than a chunk may be ends the data before it.
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("EasySetData0001"), REG_BINARY, big.data(), 16385));
        EXPECT_TRUE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, 1000, &back));
        EXPECT_TRUE(back.empty());

        // Smaller after larger leaves no chunk behind the new count.
        ASSERT_TRUE(WriteChunked(store, WL("EasySetDataCnt"), kChunks, big.data(), big.size(), 16384).ok());
        ASSERT_TRUE(WriteChunked(store, WL("EasySetDataCnt"), kChunks, big.data(), 10, 16384).ok());
        EXPECT_FALSE(Has(store, WL("EasySetData0002")));
        EXPECT_FALSE(Has(store, WL("EasySetData0003")));
        EXPECT_TRUE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, 1000, &back));
        EXPECT_EQ(Bytes(big.begin(), big.begin() + 10), back);
        // Nothing at all: a count of 0 and no chunks.
        ASSERT_TRUE(WriteChunked(store, WL("EasySetDataCnt"), kChunks, nullptr, 0, 16384).ok());
        uint32_t count = 1;
        EXPECT_TRUE(ReadCount(store, WL("EasySetDataCnt"), &count));
        EXPECT_EQ(0u, count);
        EXPECT_FALSE(Has(store, WL("EasySetData0001")));
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("EasySetDataCnt")));
        EXPECT_FALSE(ReadChunked(store, WL("EasySetDataCnt"), kChunks, 16384, 1000, &back));
        EXPECT_TRUE(back.empty());

        EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER),
                  WriteChunked(store, WL("EasySetDataCnt"), kChunks, nullptr, 5, 16384).error);
        EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER),
                  WriteChunked(store, WL("EasySetDataCnt"), kChunks, big.data(), 5, 0).error);
    }
}

TEST_F(StoresListsTest, ChunksWithoutACount) {
    // A 6676-byte record in 1024-byte chunks numbered 01 to 07, ended by the first missing one.
    const NumberedNames names{WL("Private DevMode%02d"), 1};
    ValueStore store = ValueStore::OfPrinter(printer_);
    Bytes record = Pattern(6676, 3);
    ListWrite w = WriteChunked(store, nullptr, names, record.data(), record.size(), 1024);
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(7u, w.written);
    EXPECT_TRUE(Has(store, WL("Private DevMode07")));
    Bytes back;
    EXPECT_TRUE(ReadChunked(store, nullptr, names, 1024, 7, &back));
    EXPECT_EQ(record, back);
    ASSERT_TRUE(WriteChunked(store, nullptr, names, record.data(), 1500, 1024).ok());
    EXPECT_FALSE(Has(store, WL("Private DevMode03")));
    EXPECT_FALSE(Has(store, WL("Private DevMode07")));
    EXPECT_TRUE(ReadChunked(store, nullptr, names, 1024, 7, &back));
    EXPECT_EQ(1500u, back.size());
}

TEST_F(StoresListsTest, DeletingNumberedValues) {
    ValueStore store = ValueStore::OfKey(key_.get());
    for (uint32_t n : {0u, 1u, 2u, 5u}) ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(kOrder.Name(n).c_str(), n));
    // Until a deletion fails: the gap at 3 keeps 5.
    EXPECT_EQ(3u, DeleteNumbered(store, kOrder, 0));
    EXPECT_TRUE(Has(store, WL("WMOrder05")));
    // With the old count, gaps below it are crossed.
    for (uint32_t n : {0u, 1u}) ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(kOrder.Name(n).c_str(), n));
    EXPECT_EQ(3u, DeleteNumbered(store, kOrder, 0, 6));
    EXPECT_FALSE(Has(store, WL("WMOrder05")));
    // A damaged old count does not walk billions of names.
    EXPECT_EQ(0u, DeleteNumbered(store, kOrder, 0, UINT32_MAX));
}

}  // namespace
