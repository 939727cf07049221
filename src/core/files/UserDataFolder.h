#pragma once
// The per-user data folder of Qavix: $XDG_DATA_HOME/qavix, or ~/.local/share/qavix when
// that variable is unset or not absolute. Started from the desktop, the program works
// there, so Qavix.ini, recovery files and the file dialogs have a home of their own.

#include <string>

namespace qavix {

// The folder for the given environment values (null when unset); empty when neither
// gives an absolute path.
std::string userDataFolder(const char* xdgDataHome, const char* home);
// The same for this process's environment.
std::string userDataFolder();

// Creates the folder (and its parents, mode 0700 for new ones) and makes it the working
// directory. False with `error` set when that fails.
bool enterFolder(const std::string& folder, std::string& error);

}  // namespace qavix
