#include "app/open_dialog.h"

#include <commdlg.h>

namespace inkswap {

namespace {

// Pairs of a label and its patterns, the list ended by an empty label.
constexpr wchar_t Filters[] = L"ZX Spectrum screens (*.scr)\0*.scr\0All files (*.*)\0*.*\0";

// Longer than any name the program can open, so that a too long choice
// still arrives and is refused like any other unopenable file.
constexpr int ChosenCapacity = 1024;

// The folder part of a wide path: the path cut at its last separator;
// empty when there is none.
void CutToFolder(wchar_t* path) {
    wchar_t* cut = LastSeparator(path);
    if (cut == nullptr) {
        path[0] = L'\0';
        return;
    }
    *cut = L'\0';
}

} // namespace

bool AskForScreenFile(HWND owner, const char* currentPath, Utf8Name& chosen) {
    wchar_t folder[ChosenCapacity] = {};
    if (currentPath != nullptr && ToWide(currentPath, folder, ChosenCapacity)) {
        CutToFolder(folder);
    }
    wchar_t file[ChosenCapacity] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = ChosenCapacity;
    dialog.lpstrInitialDir = folder[0] != L'\0' ? folder : nullptr;
    // The program's working folder stays where it was.
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog)) {
        return false; // cancelled, or the dialog could not be shown
    }
    return ToUtf8(file, chosen);
}

} // namespace inkswap
