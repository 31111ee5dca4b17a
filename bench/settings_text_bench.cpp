// The settings text: export of a whole settings record (record to text to UTF-8
// file bytes), import (file bytes to text to record), and the parse of a 1 MB text.
// Targets: export and import each under 1 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "presets/settings_exchange.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::presets;

RecordExchangeRules AllGroups() {
    RecordExchangeRules rules;
    rules.options[kIncludePaper] = rules.options[kIncludeResolution] = 1;
    rules.imageShiftType1 = rules.coverType1 = rules.colorAdjustType1 = rules.colorAdjustOtherType2 = true;
    return rules;
}

EasySetHeader Header() {
    EasySetHeader h{};
    h.magic = kEasySetMagic;
    h.formatVersion = kEasySetFormatVersion;
    nvx::WCopy(h.name, 32, WL("Bench"));
    nvx::WCopy(h.model, 37, WL("NOVRIX Fax Driver"));
    nvx::WCopy(h.version, 16, kEasySetVersionString);
    nvx::WCopy(h.system, 32, kEasySetSystem);
    nvx::WCopy(h.language, 8, WL("0409"));
    return h;
}

std::string ExportBytes(OEMDEV& record, const RecordExchangeRules& rules) {
    SettingsDoc doc;
    EasySetHeader h = Header();
    ExchangeHeader(Direction::Write, doc, h);
    ExchangeRecord(Direction::Write, doc, record, rules);
    return SettingsFileBytes(doc);
}

void BM_ExportRecord(benchmark::State& state) {
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    RecordExchangeRules rules = AllGroups();
    for (auto _ : state) benchmark::DoNotOptimize(ExportBytes(record, rules));
}
BENCHMARK(BM_ExportRecord)->Unit(benchmark::kMicrosecond);

void BM_ImportRecord(benchmark::State& state) {
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    RecordExchangeRules rules = AllGroups();
    std::string bytes = ExportBytes(record, rules);
    for (auto _ : state) {
        SettingsDoc doc;
        ParseSettingsFileBytes(bytes, &doc);
        EasySetHeader h{};
        ExchangeHeader(Direction::Read, doc, h);
        OEMDEV out = record;
        benchmark::DoNotOptimize(ExchangeRecord(Direction::Read, doc, out, rules));
    }
}
BENCHMARK(BM_ImportRecord)->Unit(benchmark::kMicrosecond);

void BM_ParseOneMegabyte(benchmark::State& state) {
    nvx::WString text;
    for (int i = 0; text.size() < (1u << 19); ++i) {  // 512 Ki characters: 1 MB of UTF-16
        if (i % 50 == 0) text += WL("[Section") + nvx::WFromAscii(std::to_string(i)) + WL("]\r\n");
        text += WL("key") + nvx::WFromAscii(std::to_string(i)) + WL("=\"some value, quoted\"\r\n");
    }
    for (auto _ : state) benchmark::DoNotOptimize(ParseSettingsText(text.data(), text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size() * 2));
}
BENCHMARK(BM_ParseOneMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
