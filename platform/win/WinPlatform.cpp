#include "platform/win/WinPlatform.h"

#include "platform/win/WinText.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <commdlg.h>
#include <windows.h>

#include <cstdio>

namespace {

HWND ownerOf(SDL_Window* window) {
    if (window == nullptr) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_WINDOWS)
        return nullptr;
    return info.info.win.window;
}

} // namespace

std::wstring openDialogFilter(const std::string& filter) {
    std::wstring out = widen(filter);
    for (wchar_t& c : out)
        if (c == L'|') c = L'\0';
    // Each part ends with a NUL, and the list with one more.
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

void WinPlatform::messageBox(const std::string& text, const std::string& caption) {
    // Also on stderr, where a console or a log keeps the reason for an end.
    std::fprintf(stderr, "vortalix: %s: %s\n", caption.c_str(), text.c_str());
    MessageBoxW(ownerOf(window()), widen(text).c_str(), widen(caption).c_str(),
                MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
    keysLostToDialog();
}

bool WinPlatform::openFileDialog(const std::string& title, const std::string& filter,
                                 const std::string& defaultExt, std::string& path) {
    const std::wstring wideFilter = openDialogFilter(filter);
    const std::wstring wideTitle = widen(title);
    std::wstring ext = widen(defaultExt);
    if (!ext.empty() && ext.front() == L'.') ext.erase(0, 1);
    // Long enough for any path Windows' dialog gives back.
    std::wstring chosen(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ownerOf(window());
    ofn.lpstrFilter = filter.empty() ? nullptr : wideFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen.data();
    ofn.nMaxFile = DWORD(chosen.size());
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags =
        OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    const bool confirmed = GetOpenFileNameW(&ofn) != 0;
    keysLostToDialog();
    if (!confirmed) {
        if (const DWORD code = CommDlgExtendedError(); code != 0)
            std::fprintf(stderr, "vortalix: the file dialog failed (error %lu)\n",
                         static_cast<unsigned long>(code));
        return false;
    }
    chosen.resize(wcslen(chosen.c_str()));
    if (chosen.empty()) return false;
    path = narrow(chosen);
    return true;
}
