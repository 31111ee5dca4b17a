// A fixture for tests that run the real novrix binary on the test's own platform
// root: one run with its standard input, output, error and exit code, the files
// it leaves under the root, and a search of them for a text that must never be
// stored in clear.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/platform_test.h"

namespace nvxtest {

struct Outcome {
    int rc = -1;
    std::string out, err;
};

class NovrixRunTest : public PlatformTest {
protected:
    // Runs novrix with the debugger output echoed to stderr, so that it is scanned too.
    Outcome Novrix(const std::string& args, const std::string& input = "") {
        {
            std::ofstream in(Root() + "/in.txt", std::ios::binary);
            in << input;
        }
        const std::string cmd = "env NOVRIX_DEBUG_OUTPUT=1 " + std::string(NVX_NOVRIX_EXE) + " --root '" + Root() +
                                "' " + args + " <'" + Root() + "/in.txt' >'" + Root() + "/out.txt' 2>'" + Root() +
                                "/err.txt'";
        const int status = std::system(cmd.c_str());
        Outcome r;
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Read(Root() + "/out.txt");
        r.err = Read(Root() + "/err.txt");
        std::filesystem::remove(Root() + "/in.txt");
        return r;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Whether any file under the platform root holds text, in UTF-8 or UTF-16.
    bool RootHolds(const std::string& text) {
        std::string wide;
        for (char c : text) wide += std::string{c, '\0'};
        for (const auto& e : std::filesystem::recursive_directory_iterator(Root())) {
            if (!e.is_regular_file()) continue;
            const std::string bytes = Read(e.path().string());
            if (bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos) return true;
        }
        return false;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

}  // namespace nvxtest
