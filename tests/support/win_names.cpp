// Names as the Windows programs see them, for the tests of names under Wine:
//   win_names list FOLDER     the names in FOLDER (not . and ..), one a line,
//                             in UTF-8, read through the wide API
//   win_names copy FROM TO    copies a file through the wide API, the names
//                             taken from the wide command line
//   win_names acp             the system's ANSI code page
//   win_names link FILE.lnk   a shell link's target and arguments, a line each
//   win_names manifest EXE    the manifest (RT_MANIFEST 1) a program carries
//   win_names                 (started by a name of its own, as the shell
//                             does) writes its own path, in UTF-8, into
//                             executat.txt beside it
// The exit status is 1 when the operation failed.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "platform/windows/wide_text.h"

namespace {

using torvic::win::utf8;

void write(HANDLE to, const std::string& text) {
    DWORD written = 0;
    WriteFile(to, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int list(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 1;
    std::string out;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") out += utf8(name) + "\n";
    } while (FindNextFileW(search, &found));
    FindClose(search);
    write(GetStdHandle(STD_OUTPUT_HANDLE), out);
    return 0;
}

int recordOwnPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring record(path, n);
    const std::size_t slash = record.find_last_of(L'\\');
    const std::wstring target = record.substr(0, slash + 1) + L"executat.txt";
    HANDLE h = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    write(h, utf8(record));
    CloseHandle(h);
    return 0;
}

int link(const std::wstring& file) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    IShellLinkW* shellLink = nullptr;
    IPersistFile* persist = nullptr;
    int status = 1;
    wchar_t target[MAX_PATH] = {}, arguments[1024] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink))) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(shellLink->GetArguments(arguments, 1024))) {
        write(GetStdHandle(STD_OUTPUT_HANDLE), utf8(target) + "\n" + utf8(arguments) + "\n");
        status = 0;
    }
    if (persist) persist->Release();
    if (shellLink) shellLink->Release();
    CoUninitialize();
    return status;
}

int manifest(const std::wstring& program) {
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 1;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes) write(GetStdHandle(STD_OUTPUT_HANDLE), std::string(bytes, SizeofResource(module, found)));
    FreeLibrary(module);
    return bytes ? 0 : 1;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    int status = 1;
    if (command == L"list" && argc == 3) status = list(argv[2]);
    else if (command == L"copy" && argc == 4) status = CopyFileW(argv[2], argv[3], FALSE) ? 0 : 1;
    else if (command == L"link" && argc == 3) status = link(argv[2]);
    else if (command == L"manifest" && argc == 3) status = manifest(argv[2]);
    else if (command == L"acp") write(GetStdHandle(STD_OUTPUT_HANDLE), std::to_string(GetACP()) + "\n"), status = 0;
    else if (argc == 1) status = recordOwnPath();
    LocalFree(argv);
    return status;
}
