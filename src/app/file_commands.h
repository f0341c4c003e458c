#pragma once
// The screen file commands: the menu bar and its shortcuts, loading a file
// of screens (a raw screen, a tape, a +3DOS file) dropped on either
// picture, chosen with Open.. or named on the command line (all three by the
// same path), going through the screens of a file, saving the screen back
// into the file it came from or as a file of its own, and Quit.

#include "app/shell.h"

#include <cstdint>

namespace inkswap {

inline constexpr std::int32_t FileMenu = 0;
inline constexpr std::int32_t OpenItem = 0;
inline constexpr std::int32_t SaveItem = 1;
inline constexpr std::int32_t QuitItem = 2;
// After the Operations menu's items.
inline constexpr std::int32_t SaveAsItem = 7;
inline constexpr std::int32_t NextScreenItem = 8;
inline constexpr std::int32_t PreviousScreenItem = 9;

inline constexpr char NotAScreenMessage[] = "this is not ZX Spectrum picture!";
inline constexpr char UnreadableMessage[] = "this file could not be read!";
inline constexpr char UnsavedMessage[] = "this picture could not be saved!";
inline constexpr char QuestionTitle[] = "Inkswap"; // of "Save changes to <file>?"

// The menu bar of the main window with "File" (Open.., Save, Save As...,
// Next Screen, Previous Screen, Quit, separated by lines); the Operations
// menu follows it.
void BuildMenu();

// An "Error" box with the text.
void ShowError(const char* text);

// File drops on both pictures, and Ctrl+O, Ctrl+S, Ctrl+Shift+S, Page Down,
// Page Up, Ctrl+Q.
void EnableDropsAndShortcuts();

// The menu event (also raised by the shortcuts); Quit sets the event code
// to 16, which ends the event loop after this event.
void HandleMenuEvent(ShellState& shell);

// A close request (the close box, Alt+F4, Quit): a modified picture is not
// thrown away without asking. Cancel keeps the program running: the event
// code becomes 0.
void HandleCloseRequest(ShellState& shell);

// A WM_CLOSE posted by another program comes twice: first as the bare
// message (code 16 too), then as the close event its dispatch queued. Only
// the event counts, or a question answered with Cancel would come again at
// once: the bare message's code becomes 0.
void IgnoreBareCloseMessage(ShellState& shell);

// A drop on a picture: a file that holds a screen is loaded and its first
// screen shown, anything else is refused with a message box. A modified
// picture that the new one would replace is asked about first.
void HandleDropEvent(ShellState& shell);

// The picture came from a file: Save, Export and Correct All have a
// picture to work on.
bool HasFile(const ShellState& shell);

// The file has a screen after, or before, the one shown.
bool HasNextScreen(const ShellState& shell);
bool HasPreviousScreen(const ShellState& shell);

// A picture that came from a file and differs from the bytes last loaded
// or saved. A cell corrected twice is no change.
bool IsModified(const ShellState& shell);

// Loads the named screen file exactly as a dropped one: the same checks,
// boxes and question.
void OpenScreenFile(ShellState& shell, const char* name);

// Whether the picture may be thrown away: it is unmodified, or the user
// answered "Save changes to <file>?" with Yes (and the save worked) or No.
bool MayDiscardPicture(ShellState& shell);

} // namespace inkswap
