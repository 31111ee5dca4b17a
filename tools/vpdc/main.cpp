// vpdc: compiles readable model-data sources into .VPD packages and dumps any
// package back into that form.
//
//   vpdc compile <source.json> -o <file.VPD>
//   vpdc compile <source.rules> -o <file.VPD>     (the rule language, by extension)
//   vpdc dump <file.VPD> [-o <source.json>] [--layout directory52|directory40|block]
//                        [--layouts <source.json>]
//   vpdc dump --rules <file.VPD> [-o <source.rules>]
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "vpdc.h"
#include "vpdc_print.h"
#include "vpdc_rules.h"

namespace {

int Usage() {
    std::cerr << "usage: vpdc compile <source.json|source.rules> -o <file.VPD>\n"
                 "       vpdc dump --rules <file.VPD> [-o <source.rules>]\n"
                 "       vpdc dump <file.VPD> [-o <source.json>] [--layout directory52|directory40|block]\n"
                 "                            [--layouts <source.json>]\n";
    return 2;
}

vpdc::Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw vpdc::Error("cannot open: " + std::string(std::strerror(errno)));
    return vpdc::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes through a temporary file so that a failed run leaves no partial output.
void WriteFile(const std::string& path, const void* data, size_t size) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw vpdc::Error("cannot create: " + std::string(std::strerror(errno)));
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) throw vpdc::Error("cannot write: " + std::string(std::strerror(errno)));
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) throw vpdc::Error("cannot write: " + ec.message());
}

struct Args {
    std::string command, input, output, layout, layouts;
    bool rules = false;
};

bool IsRulesSource(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".rules";
}

std::string ReadText(const std::string& path) {
    vpdc::Bytes b = ReadFile(path);
    return std::string(b.begin(), b.end());
}

bool Parse(int argc, char** argv, Args& a) {
    if (argc < 3) return false;
    a.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& dst) {
            if (i + 1 >= argc) return false;
            dst = argv[++i];
            return true;
        };
        if (arg == "-o") {
            if (!value(a.output)) return false;
        } else if (arg == "--layout") {
            if (!value(a.layout)) return false;
        } else if (arg == "--layouts") {
            if (!value(a.layouts)) return false;
        } else if (arg == "--rules") {
            a.rules = true;
        } else if (a.input.empty() && !arg.empty() && arg[0] != '-') {
            a.input = arg;
        } else {
            return false;
        }
    }
    return !a.input.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Args a;
    if (!Parse(argc, argv, a)) return Usage();
    std::string current = a.input;
    try {
        if (a.command == "compile") {
            if (a.output.empty() || !a.layout.empty() || !a.layouts.empty() || a.rules) return Usage();
            if (IsRulesSource(a.input)) {
                // Messages of the rule reader already name the file and line.
                std::vector<std::string> warnings;
                vpdc::BlockPackage pkg;
                try {
                    pkg = vpdc::RulesFromText(ReadText(a.input), a.input, &warnings);
                } catch (const vpdc::Error& e) {
                    std::cerr << "vpdc: " << e.what() << "\n";
                    return 1;
                }
                for (const std::string& w : warnings) std::cerr << "vpdc: warning: " << w << "\n";
                vpdc::Bytes out = vpdc::WriteBlock(pkg);
                current = a.output;
                WriteFile(a.output, out.data(), out.size());
                return 0;
            }
            vpdc::Json src = vpdc::ReadSource(a.input, true);
            vpdc::Bytes out = vpdc::Compile(src);
            current = a.output;
            WriteFile(a.output, out.data(), out.size());
            return 0;
        }
        if (a.command == "dump" && a.rules) {
            if (!a.layout.empty() || !a.layouts.empty()) return Usage();
            std::string text = vpdc::RulesToText(vpdc::ReadBlock(ReadFile(a.input)));
            if (a.output.empty()) {
                std::cout << text;
                return std::cout ? 0 : 1;
            }
            current = a.output;
            WriteFile(a.output, text.data(), text.size());
            return 0;
        }
        if (a.command == "dump") {
            vpdc::Layout layout = vpdc::Layout::Auto;
            if (a.layout == "directory52") layout = vpdc::Layout::Directory52;
            else if (a.layout == "directory40") layout = vpdc::Layout::Directory40;
            else if (a.layout == "block") layout = vpdc::Layout::Block;
            else if (!a.layout.empty()) return Usage();
            vpdc::Json layouts;
            if (!a.layouts.empty()) {
                current = a.layouts;
                layouts = vpdc::ReadSource(a.layouts);
                current = a.input;
            }
            vpdc::Json src = vpdc::Dump(ReadFile(a.input), layout, a.layouts.empty() ? nullptr : &layouts);
            std::string text = vpdc::Pretty(src) + "\n";
            if (a.output.empty()) {
                std::cout << text;
                return std::cout ? 0 : 1;
            }
            current = a.output;
            WriteFile(a.output, text.data(), text.size());
            return 0;
        }
        return Usage();
    } catch (const vpdc::Error& e) {
        std::cerr << "vpdc: " << current << ": " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vpdc: " << current << ": " << e.what() << "\n";
    }
    return 1;
}
