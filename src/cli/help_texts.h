#pragma once
// What brantle-cli says about itself: the whole help, the help of one command, the
// version, and the one-line refusal of a command line it cannot run.

#include <string>

namespace brantle::cli {

// brantle-cli --help: every command in a line and every option.
std::string MainHelp();
// brantle-cli COMMAND --help for identify, dump, dump-s500, flash, erase, tfs, dif and
// convert; empty for any other word.
std::string CommandHelp(const std::string& command);

// "brantle-cli 0.68 dev 0816": the version the window's About page shows.
std::string VersionText();

// Prints "brantle-cli: message" and where the help is, and gives the exit status of
// a command line refused before anything was touched.
int UsageError(const std::string& message, const std::string& command = "");
// The second line alone, after a message of the window's own.
int PointToHelp(const std::string& command);

}  // namespace brantle::cli
