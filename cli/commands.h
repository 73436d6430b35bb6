#pragma once

// Command groups of q350ctl. Each group lives in its own cmd_<group>.cpp and gets the words that
// follow its name; it returns the process exit status (0 success, 1 failure, 2 bad usage).
#include <string>
#include <vector>

namespace q350::cli {

using Args = std::vector<std::string>;

int RunProfile(const Args& args);  // profile new|show|apply
int RunDevice(const Args& args);   // device info|dump|virtual
int RunMacro(const Args& args);    // macro list|show|export|import
int RunLang(const Args& args);     // lang check
int RunXml(const Args& args);      // xml FILE [GROUP KEY]
int RunUpdate(const Args& args);   // update sign|verify

// Prints "q350ctl: <message>" to standard error and returns 1.
int Fail(const std::string& message);
// Prints a usage line to standard error and returns 2.
int Usage(const std::string& usage);

}  // namespace q350::cli
