#include "app/file_dialogs.h"

#include <commdlg.h>

#include <cwchar>

namespace inkswap {

namespace {

// Pairs of a label and its patterns, each list ended by an empty label.
constexpr wchar_t OpenFilters[] =
    L"ZX Spectrum screens, tapes and snapshots (*.scr;*.tap;*.tzx;*.sna;*.z80;*.szx)\0"
    L"*.scr;*.tap;*.tzx;*.sna;*.z80;*.szx\0"
    L"Screens (*.scr)\0*.scr\0"
    L"TAP tapes (*.tap)\0*.tap\0"
    L"TZX tapes (*.tzx)\0*.tzx\0"
    L"SNA snapshots (*.sna)\0*.sna\0"
    L"Z80 snapshots (*.z80)\0*.z80\0"
    L"SZX snapshots (*.szx)\0*.szx\0"
    L"All files (*.*)\0*.*\0";

// A save dialog's filter and the extension it gives a bare name (no dot).
struct SaveDialogKind {
    const wchar_t* Filters;
    const wchar_t* Extension;
};
constexpr SaveDialogKind ScreenSaving = {L"ZX Spectrum screens (*.scr)\0*.scr\0", L"scr"};
constexpr SaveDialogKind PngSaving = {L"PNG images (*.png)\0*.png\0", L"png"};
constexpr SaveDialogKind GifSaving = {L"GIF images (*.gif)\0*.gif\0", L"gif"};

const SaveDialogKind& SavingOf(SavedKind kind) {
    switch (kind) {
    case SavedKind::Screen:
        return ScreenSaving;
    case SavedKind::PngImage:
        return PngSaving;
    default:
        return GifSaving;
    }
}

// Longer than any name the program can open or write, so that a too long
// choice still arrives and fails like any other file that cannot be used.
constexpr int ChosenCapacity = 1024;

// The folder part of a wide path: the path cut at its last separator
// (a drive's root keeps it); empty when there is none.
void CutToFolder(wchar_t* path) {
    wchar_t* cut = LastSeparator(path);
    if (cut == nullptr) {
        path[0] = L'\0';
        return;
    }
    const bool driveRoot = cut == path + 2 && path[1] == L':';
    cut[driveRoot ? 1 : 0] = L'\0';
}

// Splits a full path into its folder (left in path) and its last part
// (copied to name).
void SplitFolder(wchar_t* path, wchar_t* name) {
    const wchar_t* cut = LastSeparator(path);
    const wchar_t* last = cut != nullptr ? cut + 1 : path;
    std::wmemmove(name, last, std::wcslen(last) + 1);
    CutToFolder(path);
}

// A dialog's description: owned by owner, the filters, the name proposed
// and returned in file, starting in folder (when not empty).
OPENFILENAMEW Dialog(HWND owner, const wchar_t* filters, wchar_t* file, const wchar_t* folder) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = ChosenCapacity;
    dialog.lpstrInitialDir = folder[0] != L'\0' ? folder : nullptr;
    // The program's working folder stays where it was.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return dialog;
}

} // namespace

bool AskForScreenFile(HWND owner, const char* currentPath, Utf8Name& chosen) {
    wchar_t folder[ChosenCapacity] = {};
    if (currentPath != nullptr && ToWide(currentPath, folder, ChosenCapacity)) {
        CutToFolder(folder);
    }
    wchar_t file[ChosenCapacity] = {};
    OPENFILENAMEW dialog = Dialog(owner, OpenFilters, file, folder);
    dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!::GetOpenFileNameW(&dialog)) {
        return false; // cancelled, or the dialog could not be shown
    }
    return ToUtf8(file, chosen);
}

bool AskForSaveName(HWND owner, const char* proposed, SavedKind kind, Utf8Name& chosen) {
    const SaveDialogKind& saving = SavingOf(kind);
    wchar_t folder[ChosenCapacity] = {};
    wchar_t file[ChosenCapacity] = {};
    if (proposed != nullptr && ToWide(proposed, folder, ChosenCapacity)) {
        SplitFolder(folder, file);
    }
    OPENFILENAMEW dialog = Dialog(owner, saving.Filters, file, folder);
    dialog.lpstrDefExt = saving.Extension;
    // A folder that is gone is not the dialog's to refuse: the export then
    // fails and says so.
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!::GetSaveFileNameW(&dialog)) {
        return false; // cancelled, or the dialog could not be shown
    }
    return ToUtf8(file, chosen);
}

} // namespace inkswap
