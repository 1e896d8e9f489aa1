#pragma once
// The conventions of the system the program runs on, which the windows'
// behaviour follows without knowing the system: how a path ends a folder,
// which files a name pattern finds (hidden ones never), where the program
// keeps the files it ships, what shows the system's information. Each
// system's folder under platform/ implements them.
//
// Paths here are system names (UTF-8 on every system, platform/files.h):
// they are taken and given back as the system spells them, so a name holding
// characters 1252 cannot hold is found and used again as it is. Where one is
// shown, the caller converts it with shownName; a name the user typed (1252)
// is converted with systemName before it comes here.
#include <string>
#include <vector>

namespace torvic::conventions {

// The character that ends a folder in a path the user sees.
char folderSeparator();

// The folder part of a path, up to and including its last separator.
std::string folderPart(const std::string& path);

// The ordinary files (not folders, not hidden) in the pattern's folder whose
// names match the pattern's last part (* any run of characters, ? one
// character), in name order, each as the folder part of the pattern
// followed by the name.
std::vector<std::string> matchingFiles(const std::string& pattern);
// The first of them; empty when none.
std::string firstMatchingFile(const std::string& pattern);

// A file the program ships (the manual), looked for where an installation
// puts it for a program in `programDirectory`; empty when it is not there.
std::string programDataFile(const std::string& programDirectory, const std::string& name);

// The process's current folder, and the folder its program file is in
// (without a separator at the end); empty when the system does not say.
std::string currentFolder();
std::string programFolder();

// The programs that show the system's information, each as a command line
// as Platform::startProgram takes it (1252), in the order they are tried;
// none found gives an empty list.
std::vector<std::string> systemInformationPrograms();

// Where the editor keeps the recovery copies of work not yet saved: the
// user's state folder for the program (made by the first copy written);
// empty when the system names none.
std::string recoveryFolder();

// This process's id, and whether a process with that id is a running copy
// of this program (a copy left by one that is still running is its own).
long currentProcessId();
bool programRunning(long processId);

// Lowers the calling thread's processor and disk priority: work nobody
// waits for (the recovery copy) gives way to the keys.
void runInBackground();

}  // namespace torvic::conventions
