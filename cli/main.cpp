// q350ctl: command-line access to Q350 profiles, macros, language files and the mouse itself.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "q350_version.h"

namespace q350::cli {

int Fail(const std::string& message) {
    std::cerr << "q350ctl: " << message << "\n";
    return 1;
}

int Usage(const std::string& usage) {
    std::cerr << "usage: q350ctl " << usage << "\n";
    return 2;
}

namespace {

struct Group {
    std::string_view name;
    std::string_view summary;
    int (*run)(const Args&);
};

constexpr Group kGroups[] = {
    {"profile", "create, show and apply profile files", RunProfile},
    {"device", "read the mouse, or create and inspect a simulated one", RunDevice},
    {"macro", "list, show, export and import the macros of Macro.cfg", RunMacro},
    {"lang", "check language files", RunLang},
    {"xml", "show how the XML reader sees a file", RunXml},
    {"update", "sign update files and verify their signatures", RunUpdate},
};

void PrintHelp() {
    std::cout << "q350ctl " Q350_VERSION_STRING " - Quorv Q350 gaming mouse configuration tool\n\n"
                 "usage: q350ctl [--help | --version] <command> [arguments]\n\ncommands:\n";
    for (const Group& g : kGroups) {
        std::printf("  %-9.*s %.*s\n", static_cast<int>(g.name.size()), g.name.data(),
                    static_cast<int>(g.summary.size()), g.summary.data());
    }
    std::cout << "\n'q350ctl <command> --help' describes a command.\n";
}

}  // namespace
}  // namespace q350::cli

int main(int argc, char** argv) {
    using namespace q350::cli;
    if (argc < 2) {
        PrintHelp();
        return 2;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp();
        return 0;
    }
    if (first == "--version") {
        std::cout << "q350ctl " Q350_VERSION_STRING "\n";
        return 0;
    }
    for (const Group& g : kGroups) {
        if (g.name == first) {
            const Args rest(argv + 2, argv + argc);
            return g.run(rest);
        }
    }
    return Fail("unknown command '" + std::string(first) + "' (see q350ctl --help)");
}
