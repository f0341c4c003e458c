#pragma once
// The Help menu, last in the menu bar: About Inkswap, a box with the
// program's name, its version, what it does and its licence, so that a
// user can quote the version in a report.

#include "app/shell.h"
#include "inkswap_version.h"

#include <cstdint>

namespace inkswap {

// Item number, after the cell keys' items.
inline constexpr std::int32_t AboutItem = 24;

inline constexpr char AboutTitle[] = "About Inkswap";
inline constexpr char AboutText[] =
    "Inkswap " INKSWAP_VERSION "\n\n"
    "Looks at ZX Spectrum screens in screen, tape, disk and snapshot files, "
    "and corrects their cells.\n\n"
    "Copyright (c) 2026 the Inkswap developers.\n"
    "Free software under the MIT License: see LICENSE.";

// "Help" at the end of the menu bar being built, with its item.
void BuildHelpMenu();

// The menu event of the Help item: shows the About box.
void HandleHelpEvent(const ShellState& shell);

} // namespace inkswap
