// The Unix side of Wine, for Windows tests that need what Wine cannot make
// itself: links, folders by their Unix names, a drive letter's mapping.
#pragma once

#include <string>
#include <vector>

#include "test_folder.h"

// Wine's Unix name of a Windows path, or "" where this is no Wine.
std::string UnixName(const fs::path& path);

// Runs a Unix command under Wine, which gives its handle no meaningful end
// or exit code: waits, with a bound, until the Unix path does or does not
// lead somewhere.
bool RunUnix(const std::string& command, const std::string& path, bool fLeads);

// The Unix folder of the prefix's drive letters (dosdevices), or "".
std::string DrivesFolder();

// Makes folders of the given Unix names in parent, which Wine cannot make
// where Windows would rewrite the name ("lv ", "CON").
bool MakeUnixFolders(const fs::path& parent, const std::vector<std::string>& names);
