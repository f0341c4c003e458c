#include "app/export_dialog.h"

#include <commdlg.h>

#include <cwchar>
#include <iterator>

namespace inkswap {

namespace {

constexpr wchar_t Filters[] = L"PNG images (*.png)\0*.png\0";
constexpr wchar_t PngExtension[] = L".png";

// Longer than any name the program can write, so that a too long choice
// still arrives and fails like any other unwritable file.
constexpr int ChosenCapacity = 1024;

// The path with the extension of its last part replaced by ".png" (added
// when it has none); the path is left empty when the result would not fit.
void ProposePngName(wchar_t* path, int capacity) {
    wchar_t* separator = LastSeparator(path);
    wchar_t* end = std::wcsrchr(separator != nullptr ? separator : path, L'.');
    if (end == nullptr) {
        end = path + std::wcslen(path);
    }
    constexpr int extensionLength = static_cast<int>(std::size(PngExtension));
    if (end - path + extensionLength > capacity) {
        path[0] = L'\0';
        return;
    }
    std::wmemcpy(end, PngExtension, extensionLength);
}

// Splits a full path into its folder (left in path; a drive's root keeps
// its separator) and its last part (copied to name); the folder is empty
// when there is no separator.
void SplitFolder(wchar_t* path, wchar_t* name) {
    wchar_t* cut = LastSeparator(path);
    const wchar_t* last = cut != nullptr ? cut + 1 : path;
    std::wmemmove(name, last, std::wcslen(last) + 1);
    if (cut == nullptr) {
        path[0] = L'\0';
        return;
    }
    const bool driveRoot = cut == path + 2 && path[1] == L':';
    cut[driveRoot ? 1 : 0] = L'\0';
}

} // namespace

bool AskForPngName(HWND owner, const char* screenPath, Utf8Name& chosen) {
    wchar_t folder[ChosenCapacity] = {};
    wchar_t file[ChosenCapacity] = {};
    if (screenPath != nullptr && ToWide(screenPath, folder, ChosenCapacity)) {
        ProposePngName(folder, ChosenCapacity);
        SplitFolder(folder, file);
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = ChosenCapacity;
    dialog.lpstrInitialDir = folder[0] != L'\0' ? folder : nullptr;
    dialog.lpstrDefExt = PngExtension + 1;
    // A folder that is gone is not the dialog's to refuse: the export then
    // fails and says so. The program's working folder stays where it was.
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&dialog)) {
        return false; // cancelled, or the dialog could not be shown
    }
    return ToUtf8(file, chosen);
}

} // namespace inkswap
