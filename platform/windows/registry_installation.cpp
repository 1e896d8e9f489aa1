#include "platform/windows/registry_installation.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

namespace torvic::win {
namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// One text value under HKEY_CURRENT_USER\`key` (made when missing); the
// default value when `name` is empty. A failure leaves it unwritten.
void setText(const std::string& key, const std::string& name, const std::string& value) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    const std::wstring v = wide(value);
    RegSetValueExW(h, name.empty() ? nullptr : wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

void setNumber(const std::string& key, const std::string& name, DWORD value) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(h, wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(h);
}

std::string readText(const std::string& key, const std::string& name) {
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, wide(key).c_str(), name.empty() ? nullptr : wide(name).c_str(), RRF_RT_REG_SZ,
                     nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return narrow(buffer);
}

void deleteTree(const std::string& key) { RegDeleteTreeW(HKEY_CURRENT_USER, wide(key).c_str()); }

std::string withSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

std::string specialFolder(int csidl) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return narrow(path);
}

// A shell link `folder`\`name`.lnk to `target`, its icon the target's
// first; the folder is made (one level) when missing. Failures are passed
// over: the program is installed all the same.
void crearDrecera(const std::string& target, const std::string& folder, const std::string& name,
                  const std::string& arguments = "") {
    if (folder.empty()) return;
    CreateDirectoryW(wide(folder).c_str(), nullptr);
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
            file->Save(wide(withSeparator(folder) + name + ".lnk").c_str(), TRUE);
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

constexpr const char* kShortcuts[][2] = {
    {"torvic.exe", "Editor de Programes Torvic"},
    {"torvic.rtf", "Documentació del Torvic"},
    {"torvicsetup.exe", "Desinstal·lar Torvic"},
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
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvic"};
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
    return {{"torvic.exe", true}, {"torvic.rtf", true}, {"torvicrun.exe", false}, {"torvicsetup.exe", false}};
}

void RegistryInstallation::registerInstallation(const std::string& dir) {
    const std::string& classes = places_.classesKey;
    const std::string program = dir + "torvic.exe";
    setText(classes + "\\Torvic", "", "Torvic Program");
    setText(classes + "\\.torvic", "", "torvic");
    setText(classes + "\\Torvic\\shell\\Edit\\command", "", "\"" + program + "\" \"%1\"");
    setText(classes + "\\Torvic\\shell\\open\\command", "", "\"" + program + "\" /exec \"%1\"");
    setText(classes + "\\Torvic\\DefaultIcon", "", program + ",0");
    // The system's list of programs removes it through the installer.
    const std::string& entry = places_.uninstallKey;
    setText(entry, "DisplayName", "Torvic XP 1.10");
    setText(entry, "DisplayVersion", "1.10");
    setText(entry, "DisplayIcon", program + ",0");
    setText(entry, "InstallLocation", dir);
    setText(entry, "UninstallString", "\"" + dir + "torvicsetup.exe\" /uninstall");
    setNumber(entry, "NoModify", 1);
    setNumber(entry, "NoRepair", 1);
    crearDrecera(program, places_.desktopDir, "Editor de Programes Torvic");
    const std::string menu = withSeparator(places_.programsDir) + "Torvic";
    for (const auto& [file, name] : kShortcuts) crearDrecera(dir + file, menu, name);
    // The shell learns that the file types changed, so icons and verbs follow.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::string RegistryInstallation::installedDirectory() const {
    return readText(places_.uninstallKey, "InstallLocation");
}

std::string RegistryInstallation::uninstall() {
    const std::string dir = installedDirectory();
    if (dir.empty()) return {};
    for (const ShippedFile& f : shippedFiles()) DeleteFileW(wide(dir + f.name).c_str());
    RemoveDirectoryW(wide(dir).c_str());  // only when nothing else is left in it
    DeleteFileW(wide(withSeparator(places_.desktopDir) + "Editor de Programes Torvic.lnk").c_str());
    const std::string menu = withSeparator(places_.programsDir) + "Torvic\\";
    for (const auto& [file, name] : kShortcuts) DeleteFileW(wide(menu + name + ".lnk").c_str());
    RemoveDirectoryW(wide(menu).c_str());
    // The extension is ours only while it names our type.
    const std::string& classes = places_.classesKey;
    if (readText(classes + "\\.torvic", "") == "torvic") deleteTree(classes + "\\.torvic");
    deleteTree(classes + "\\Torvic");
    deleteTree(places_.uninstallKey);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return dir;
}

}  // namespace torvic::win
