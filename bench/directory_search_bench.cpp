// The phone book's directory search: 1,000 matching people (each with a fax
// number) from a throw-away slapd on 127.0.0.1, end to end: connection, simple
// logon, search and the answer read (goal: under 200 ms).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "directory_search.h"
#include "support/test_slapd.h"

namespace {

std::string People(int count) {
    std::string ldif;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        ldif += "dn: cn=Person " + n + ",dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Person " + n +
                "\nsn: Person\nou: Sales\nfacsimileTelephoneNumber: 0301-" + n + "\n\n";
    }
    return ldif;
}

void BM_DirectorySearch1000(benchmark::State& state) {
    static nvxtest::TestSlapd server;
    static bool started = false;
    if (!started) {
        std::string why;
        if (!server.Start(People(1000), "Bench-pw", &why)) {
            state.SkipWithError(why.c_str());
            return;
        }
        started = true;
    }
    nvxv::SearchRequest q;
    q.host = "127.0.0.1";
    q.port = server.Port();
    q.base = nvxtest::TestSlapd::kBase;
    q.logonName = nvxtest::TestSlapd::kAdmin;
    q.password = "Bench-pw";
    q.timeoutSeconds = 10;
    q.maxResults = 1000;
    q.text = "Person";
    for (auto _ : state) {
        nvxv::SearchResult r = nvxv::Search(q);
        if (r.people.size() != 1000) state.SkipWithError(("expected 1000 people, got " + std::to_string(r.people.size())).c_str());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DirectorySearch1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
