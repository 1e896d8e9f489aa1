// A Windows window for the key and mouse tests: it writes its process id,
// then every character and left click it receives, to the file named on its
// command line (UTF-8; Enter as a line break), and ends after a minute.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string outputFile;

void append(const std::string& text) {
    if (FILE* f = std::fopen(outputFile.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CHAR: {
            wchar_t ch = static_cast<wchar_t>(w);
            if (ch == L'\r') {
                append("\n");
                return 0;
            }
            char utf8[8] = {};
            int n = WideCharToMultiByte(CP_UTF8, 0, &ch, 1, utf8, sizeof utf8, nullptr, nullptr);
            append(std::string(utf8, static_cast<std::size_t>(n)));
            return 0;
        }
        case WM_LBUTTONDOWN:
            append("<click " + std::to_string(static_cast<short>(LOWORD(l))) + "," +
                   std::to_string(static_cast<short>(HIWORD(l))) + ">");
            return 0;
        case WM_TIMER:
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    outputFile = commandLine;
    if (!outputFile.empty() && outputFile.front() == '"') outputFile = outputFile.substr(1, outputFile.size() - 2);
    append("pid " + std::to_string(GetCurrentProcessId()) + "\n");
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TorvicKeyCatcher";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"TorvicKeyCatcher", L"Catcher", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                nullptr, instance, nullptr);
    ShowWindow(window, show);
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
