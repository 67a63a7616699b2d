#pragma once
// The order of names the person sees and the files the program writes (the TFS
// directory list of a CFG file, a decoded file list) follows the collation of the
// person's locale. A program runs in the "C" locale until it picks one, so each
// front end calls this first thing in main.

namespace brantle {

// Takes the collation (only: numbers, messages and the rest stay "C") from the
// environment: LC_ALL, else LC_COLLATE, else LANG. Without a usable locale there
// the byte order stays.
void UseCollationOfEnvironment();

}  // namespace brantle
