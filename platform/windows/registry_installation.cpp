#include "platform/windows/registry_installation.h"

#include "platform/files.h"
#include "platform/windows/wide_text.h"
#include "system_message.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <optional>
#include <vector>

namespace torvic::win {
namespace {

using Undo = std::vector<std::function<void()>>;

// Before a value of `root`\`key` is written: a step that puts back what was
// there (the value, or no value, or no key at all from the first missing
// level down).
void recordValue(Undo& undo, HKEY root, const std::string& key, const std::string& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) {
        std::string missing = key;
        for (std::string up = key; up.find('\\') != std::string::npos;) {
            up.resize(up.find_last_of('\\'));
            HKEY parent = nullptr;
            if (RegOpenKeyExW(root, wide(up).c_str(), 0, KEY_READ, &parent) == ERROR_SUCCESS) {
                RegCloseKey(parent);
                break;
            }
            missing = up;
        }
        undo.push_back([root, missing] { RegDeleteTreeW(root, wide(missing).c_str()); });
        return;
    }
    const std::wstring value = wide(name);
    const wchar_t* v = name.empty() ? nullptr : value.c_str();
    DWORD type = 0, size = 0;
    const bool present = RegQueryValueExW(h, v, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    std::vector<BYTE> old(size);
    if (present) RegQueryValueExW(h, v, nullptr, &type, old.data(), &size);
    RegCloseKey(h);
    undo.push_back([root, key, value, present, type, old] {
        HKEY k = nullptr;
        if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
        const wchar_t* n = value.empty() ? nullptr : value.c_str();
        if (present)
            RegSetValueExW(k, n, 0, type, old.data(), static_cast<DWORD>(old.size()));
        else
            RegDeleteValueW(k, n);
        RegCloseKey(k);
    });
}

// One text value under `root`\`key` (made when missing); the default value
// when `name` is empty. A failure leaves it unwritten.
void setText(Undo& undo, HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    recordValue(undo, root, key, name);
    HKEY h = nullptr;
    if (RegCreateKeyExW(root, wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    const std::wstring v = wide(value);
    RegSetValueExW(h, name.empty() ? nullptr : wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

void setNumber(Undo& undo, const std::string& key, const std::string& name, DWORD value) {
    recordValue(undo, HKEY_CURRENT_USER, key, name);
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(h, wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(h);
}

std::string readText(HKEY root, const std::string& key, const std::string& name) {
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, wide(key).c_str(), name.empty() ? nullptr : wide(name).c_str(), RRF_RT_REG_SZ,
                     nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return utf8(buffer);
}

void deleteTree(HKEY root, const std::string& key) { RegDeleteTreeW(root, wide(key).c_str()); }

// The five values of the file type under `root`\`classes`.
void writeFileType(Undo& undo, HKEY root, const std::string& classes, const std::string& program) {
    const std::string prefix = classes.empty() ? "" : classes + "\\";
    setText(undo, root, prefix + "Torvic", "", "Torvic Program");
    setText(undo, root, prefix + ".torvic", "", "torvic");
    setText(undo, root, prefix + "Torvic\\shell\\Edit\\command", "", "\"" + program + "\" \"%1\"");
    setText(undo, root, prefix + "Torvic\\shell\\open\\command", "", "\"" + program + "\" /exec \"%1\"");
    setText(undo, root, prefix + "Torvic\\DefaultIcon", "", program + ",0");
}

// Removes the file type under `root`\`classes`; the extension only while it
// names our type.
void removeFileType(HKEY root, const std::string& classes) {
    const std::string prefix = classes.empty() ? "" : classes + "\\";
    if (readText(root, prefix + ".torvic", "") == "torvic") deleteTree(root, prefix + ".torvic");
    deleteTree(root, prefix + "Torvic");
}

// Removes a key with nothing left in it (no subkeys, no values): the
// parents an installation had to make.
void deleteIfEmpty(const std::string& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    DWORD subkeys = 0, values = 0;
    const bool empty = RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                        nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subkeys == 0 && values == 0;
    RegCloseKey(h);
    if (empty) RegDeleteKeyW(HKEY_CURRENT_USER, wide(key).c_str());
}

std::string withSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

std::string specialFolder(int csidl) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return utf8(path);
}

// A shell link `folder`\`name`.lnk to `target` with `arguments`, its icon
// the target's first; the folder is made (one level) when missing. Failures
// are passed over: the program is installed all the same.
void crearDrecera(Undo& undo, const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& arguments = "") {
    if (folder.empty()) return;
    if (CreateDirectoryW(wide(folder).c_str(), nullptr))
        undo.push_back([folder] { RemoveDirectoryW(wide(folder).c_str()); });
    const std::string lnk = withSeparator(folder) + name + ".lnk";
    if (const std::optional<std::string> old = readFileBytes(lnk))
        undo.push_back([lnk, bytes = *old] { writeFileSafely(lnk, bytes); });
    else
        undo.push_back([lnk] { DeleteFileW(wide(lnk).c_str()); });
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(wide(target).c_str());
        link->SetArguments(wide(arguments).c_str());
        link->SetShowCmd(SW_SHOWNORMAL);
        link->SetIconLocation(wide(target).c_str(), 0);
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            file->Save(wide(lnk).c_str(), TRUE);
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

// The start menu's shortcuts: the file, the name, the arguments.
constexpr const char* kShortcuts[][3] = {
    {"torvic.exe", "Editor de Programes Torvic", ""},
    {"torvic.rtf", "Documentació del Torvic", ""},
    {"torvicsetup.exe", "Desinstal·lar Torvic", "/uninstall"},
};

}  // namespace

RegistryInstallation::Places RegistryInstallation::userPlaces(const std::string& sourceDir) {
    std::string programFiles = specialFolder(CSIDL_PROGRAM_FILES);
    if (programFiles.empty()) programFiles = "c:\\Archivos de programa";
    return {sourceDir,
            withSeparator(programFiles) + "Torvic\\",
            specialFolder(CSIDL_DESKTOPDIRECTORY),
            specialFolder(CSIDL_PROGRAMS),
            "Software\\Classes",
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvic",
            true};
}

InstallNotes RegistryInstallation::notes() const {
    return {"Aquest programa no instal·la cap llibreria (.DLL).",
            "Es desinstal·la des de la llista de programes del sistema.",
            "Els fitxers compartits que utilitza aquest programa segurament ja els tindreu instal·lats, com per "
            "exemple el comdlg32.dll.",
            "Copieu el fitxer torvic.exe i el torvic.rtf al directori " + places_.defaultDir +
                " i executeu el torvicsetup.exe /register."};
}

bool RegistryInstallation::isAbsoluteDirectory(const std::string& dir) const {
    // A drive letter, a colon and a backslash: "prova\", "c:prova" and a
    // network path "\\servidor\prova" say no drive.
    return dir.size() >= 3 && dir[1] == ':' && dir[2] == '\\' &&
           ((dir[0] >= 'a' && dir[0] <= 'z') || (dir[0] >= 'A' && dir[0] <= 'Z'));
}

std::vector<ShippedFile> RegistryInstallation::shippedFiles() const {
    return {{"torvic.exe", true},
            {"torvic.rtf", true},
            {"torvic.html", false},
            {"torvicrun.exe", false},
            {"torvicsetup.exe", false}};
}

void RegistryInstallation::registerInstallation(const std::string& dir) {
    undo_.clear();
    Undo& undo = undo_;
    const std::string program = dir + "torvic.exe";
    writeFileType(undo, HKEY_CURRENT_USER, places_.classesKey, program);
    const std::string& entry = places_.uninstallKey;
    // A system whose classes do not show the user's own (older ones, Wine)
    // gets the type among its classes too, where it lets the user write.
    HKEY seen = nullptr;
    if (places_.mirrorToClassesRoot && RegOpenKeyExW(HKEY_CLASSES_ROOT, L".torvic", 0, KEY_READ, &seen) != ERROR_SUCCESS) {
        writeFileType(undo, HKEY_CLASSES_ROOT, "", program);
        setNumber(undo, entry, "TorvicClassesRoot", 1);
    }
    if (seen) RegCloseKey(seen);
    // The system's list of programs removes it through the installer.
    setText(undo, HKEY_CURRENT_USER, entry, "DisplayName", "Torvic XP 1.10");
    setText(undo, HKEY_CURRENT_USER, entry, "DisplayVersion", "1.10");
    setText(undo, HKEY_CURRENT_USER, entry, "DisplayIcon", program + ",0");
    setText(undo, HKEY_CURRENT_USER, entry, "InstallLocation", dir);
    setText(undo, HKEY_CURRENT_USER, entry, "UninstallString", "\"" + dir + "torvicsetup.exe\" /uninstall");
    setText(undo, HKEY_CURRENT_USER, entry, "QuietUninstallString",
            "\"" + dir + "torvicsetup.exe\" /uninstall /quiet");
    setNumber(undo, entry, "NoModify", 1);
    setNumber(undo, entry, "NoRepair", 1);
    crearDrecera(undo, program, places_.desktopDir, "Editor de Programes Torvic");
    const std::string menu = withSeparator(places_.programsDir) + "Torvic";
    for (const auto& [file, name, arguments] : kShortcuts) crearDrecera(undo, dir + file, menu, name, arguments);
    // The shell learns that the file types changed, so icons and verbs follow.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

// Kept in the uninstall entry, one a line (no folder name holds a line break).
constexpr const char* kMadeValue = "TorvicMadeFolders";

void RegistryInstallation::rememberMadeFolders(const std::vector<std::string>& folders) {
    if (folders.empty()) return;
    std::string lines;
    for (const std::string& f : folders) lines += f + "\n";
    setText(undo_, HKEY_CURRENT_USER, places_.uninstallKey, kMadeValue, lines);
}

void RegistryInstallation::undoRegistration() {
    for (auto step = undo_.rbegin(); step != undo_.rend(); ++step) (*step)();
    undo_.clear();
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::error_code RegistryInstallation::makeFolder(const std::string& dir, bool& made) {
    made = CreateDirectoryW(wide(dir).c_str(), nullptr) != 0;
    if (made) return {};
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide(dir).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return {static_cast<int>(error), std::system_category()};
}

std::error_code RegistryInstallation::copyFile(const std::string& from, const std::string& to) {
    if (CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE)) return {};
    return {static_cast<int>(GetLastError()), std::system_category()};
}

void RegistryInstallation::removeFile(const std::string& path) { DeleteFileW(wide(path).c_str()); }
void RegistryInstallation::removeFolder(const std::string& dir) { RemoveDirectoryW(wide(dir).c_str()); }

std::string RegistryInstallation::describe(const std::error_code& error) const {
    if (error.category() != std::system_category()) return {};
    return systemMessageUtf8(static_cast<DWORD>(error.value()));  // in Catalan where the system has it
}

std::string RegistryInstallation::installedDirectory() const {
    return readText(HKEY_CURRENT_USER, places_.uninstallKey, "InstallLocation");
}

std::string RegistryInstallation::uninstall() {
    const std::string dir = installedDirectory();
    if (dir.empty()) return {};
    for (const ShippedFile& f : shippedFiles()) DeleteFileW(wide(dir + f.name).c_str());
    RemoveDirectoryW(wide(dir).c_str());  // only when nothing else is left in it
    // The parents the installation made, the deepest first, once empty.
    std::vector<std::string> made;
    const std::string lines = readText(HKEY_CURRENT_USER, places_.uninstallKey, kMadeValue);
    for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
        made.push_back(lines.substr(at, end - at));
    for (auto f = made.rbegin(); f != made.rend(); ++f) RemoveDirectoryW(wide(*f).c_str());
    DeleteFileW(wide(withSeparator(places_.desktopDir) + "Editor de Programes Torvic.lnk").c_str());
    const std::string menu = withSeparator(places_.programsDir) + "Torvic\\";
    for (const auto& [file, name, arguments] : kShortcuts) DeleteFileW(wide(menu + name + ".lnk").c_str());
    RemoveDirectoryW(wide(menu).c_str());
    removeFileType(HKEY_CURRENT_USER, places_.classesKey);
    DWORD mirrored = 0, size = sizeof mirrored;
    if (RegGetValueW(HKEY_CURRENT_USER, wide(places_.uninstallKey).c_str(), L"TorvicClassesRoot", RRF_RT_REG_DWORD,
                     nullptr, &mirrored, &size) == ERROR_SUCCESS && mirrored)
        removeFileType(HKEY_CLASSES_ROOT, "");
    deleteTree(HKEY_CURRENT_USER, places_.uninstallKey);
    deleteIfEmpty(places_.uninstallKey.substr(0, places_.uninstallKey.find_last_of('\\')));
    deleteIfEmpty(places_.classesKey);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return dir;
}

}  // namespace torvic::win
