// The sessions that README.md and docs/first-run.md show are real runs: this test
// runs their commands on a fresh platform root (the interactive one on a
// terminal) and compares the output with the text between the documents'
// markers.  NOVRIX_UPDATE_DOCS=1 writes the runs into the documents instead (the
// test then fails once, to say so).
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/platform_test.h"

namespace {

// One line of a session: the command a reader types and what runs for it.
struct Step {
    std::string shown;               // after "$ "; empty: only `comment` is written
    std::string args;                // novrix's arguments; empty with `shown` set: no run ("echo $?" below)
    std::vector<std::string> typed;  // lines typed at the prompts (then on a terminal)
    size_t keep = 0;                 // lines of output kept (then "  ..."); 0: all
};

class NovrixDocs : public PlatformTest {
protected:
    // Runs a session and answers its transcript.  "echo $?" shows the exit code
    // of the step before.
    std::string Transcript(const std::vector<Step>& steps) {
        std::string out;
        int rc = 0;
        for (const Step& step : steps) {
            out += "$ " + step.shown + "\n";
            if (step.shown == "echo $?") {
                out += std::to_string(rc) + "\n";
                continue;
            }
            if (step.args.empty()) continue;
            // The module's debugger lines stay out of the transcript even when a developer copies them.
            std::string cmd = "env -u NOVRIX_DEBUG_OUTPUT " + std::string(NVX_NOVRIX_EXE) + " --root '" + Root() +
                              "' " + step.args;
            std::string text = step.typed.empty() ? Run(cmd, &rc) : RunOnTerminal(cmd, step.typed, &rc);
            out += Kept(AtNoon(text), step.keep);
        }
        return out;
    }

    // Output and error in the order written (novrix writes its output by lines).
    std::string Run(const std::string& cmd, int* rc) {
        std::string file = Root() + "/session.txt";
        int status = std::system((cmd + " </dev/null >'" + file + "' 2>&1").c_str());
        *rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(file);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // On a terminal: each typed line is sent when novrix waits at a prompt, and
    // the terminal echoes it there, as a person sees it.
    static std::string RunOnTerminal(const std::string& cmd, const std::vector<std::string>& typed, int* rc) {
        int master = -1;
        pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string out;
        size_t next = 0;
        for (int idle = 0; idle < 400;) {  // a minute without a word ends the run (a program that hangs)
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 150) > 0) {
                char buffer[4096];
                ssize_t n = read(master, buffer, sizeof buffer);
                if (n <= 0) break;  // the program ended
                out.append(buffer, static_cast<size_t>(n));
                idle = 0;
                continue;
            }
            ++idle;
            size_t lineStart = out.rfind('\n') + 1;  // 0 when there is no line feed yet
            bool waiting = EndsWith(out, "prefs> ") || EndsWith(out, "dialog> ") ||
                           (out.compare(lineStart, 7, "Answer ") == 0 && EndsWith(out, ": "));
            if (waiting && next < typed.size()) {
                std::string line = typed[next++] + "\n";
                if (write(master, line.data(), line.size()) != static_cast<ssize_t>(line.size())) break;
            }
        }
        close(master);
        int status = 0;
        waitpid(pid, &status, 0);
        *rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::string text;
        for (char c : out)
            if (c != '\r') text += c;
        return text;
    }

    static bool EndsWith(const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    }

    // The fax tab shows the clock of the run; the documents show it at noon.
    static std::string AtNoon(const std::string& text) {
        static const std::regex clock(R"((Current Time[^\n]*\n  )[0-2][0-9]:[0-5][0-9])");
        return std::regex_replace(text, clock, "$0112:00");
    }

    static std::string Kept(const std::string& text, size_t keep) {
        if (keep == 0) return text;
        std::string out;
        size_t at = 0;
        for (size_t n = 0; n < keep && at < text.size(); ++n) {
            size_t end = text.find('\n', at);
            end = end == std::string::npos ? text.size() : end + 1;
            out += text.substr(at, end - at);
            at = end;
        }
        return at < text.size() ? out + "  ...\n" : out;
    }

    // Compares the block of `name` in the document with the transcript (or
    // rewrites it).  The block is a fenced code block between
    // "<!-- session NAME: ... -->" and "<!-- end of session NAME -->".
    static void Check(const char* document, const std::string& name, const std::string& transcript) {
        const std::string path = std::string(NVX_SOURCE_DIR) + "/" + document;
        std::ifstream in(path);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string text = ss.str();
        const std::string begin = "<!-- session " + name + ":";
        const std::string end = "<!-- end of session " + name + " -->";
        size_t b = text.find(begin), e = text.find(end);
        ASSERT_NE(std::string::npos, b) << document << " has no marker " << begin;
        ASSERT_NE(std::string::npos, e) << document << " has no marker " << end;
        b = text.find('\n', b) + 1;
        const std::string block = "```\n" + transcript + "```\n";
        if (const char* update = std::getenv("NOVRIX_UPDATE_DOCS"); update && std::string(update) == "1") {
            if (text.compare(b, e - b, block) == 0) return;
            text.replace(b, e - b, block);
            std::ofstream(path, std::ios::trunc) << text;
            FAIL() << document << ": session " << name << " rewritten from the run";
        }
        EXPECT_EQ(block, text.substr(b, e - b)) << document << ", session " << name
                                                << " (NOVRIX_UPDATE_DOCS=1 writes the run there)";
    }
};

const char* const kNovrix = "build/linux/bin/novrix";

TEST_F(NovrixDocs, TheReadmeSessionIsARealRun) {
    const std::string change = "prefs --set \"Orientation=Landscape\" --set \"Media Type=Transparency\" "
                               "--set \"Copies=3\" --yes --apply";
    Check("README.md", "short",
          Transcript({{std::string(kNovrix) + " " + change, change, {}, 0},
                      {std::string(kNovrix) + " prefs --show", "prefs --show", {}, 13}}));
}

TEST_F(NovrixDocs, TheFirstRunIsARealRun) {
    Check("docs/first-run.md", "main", Transcript({{"scripts/novrix.sh", "prefs --show", {}, 0}}));
    const std::string change = "prefs --set \"Orientation=Landscape\" --set \"Copies=3\" --set \"Paper Source=Tray 2\" "
                               "--yes --apply";
    Check("docs/first-run.md", "scripted", Transcript({{std::string(kNovrix) + " " + change, change, {}, 0}}));
    Check("docs/first-run.md", "interactive",
          Transcript({{std::string(kNovrix) + " prefs",
                       "prefs",
                       {"set Paper Size=Envelope DL", "set Paper Source=Auto Select", "set Paper Size=Envelope DL", "y",
                        "apply", "quit"},
                       0}}));
    Check("docs/first-run.md", "next",
          Transcript({{std::string(kNovrix) + " prefs --show", "prefs --show", {}, 12},
                      {std::string(kNovrix) + " prefs --set \"Paper Source=Tray 2\"",
                       "prefs --set \"Paper Source=Tray 2\"",
                       {},
                       0},
                      {"echo $?", "", {}, 0},
                      {std::string(kNovrix) + " prefs --set \"Colour=Black\"", "prefs --set \"Colour=Black\"", {}, 0},
                      {"echo $?", "", {}, 0}}));
}

}  // namespace
