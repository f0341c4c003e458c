#pragma once
// What a drop would do: the data formats and actions a drop target speaks
// of, and the rule that picks one action from the target's actions, the
// keys held and the effects the drag source offers. Portable: the numbers
// are the platform's own (clipboard formats, drop effects, key states),
// which the Win32 side checks at compile time.

#include <cstdint>

namespace rook {

// Data formats: the platform's standard numbers, and the toolkit's own
// drags, which carry a private type instead.
inline constexpr std::uint32_t FormatText = 1;      // CF_TEXT
inline constexpr std::uint32_t FormatFileList = 15; // CF_HDROP
inline constexpr std::uint32_t FormatPrivate = 512; // CF_PRIVATEFIRST

// Actions, the platform's drop effects.
inline constexpr std::uint32_t ActionNone = 0;
inline constexpr std::uint32_t ActionCopy = 1;
inline constexpr std::uint32_t ActionMove = 2;
inline constexpr std::uint32_t ActionLink = 4;

// Keys held during a drag, as the platform reports them.
inline constexpr std::uint32_t DragKeyShift = 0x04;   // MK_SHIFT
inline constexpr std::uint32_t DragKeyControl = 0x08; // MK_CONTROL
inline constexpr std::uint32_t DragKeyAlt = 0x20;     // MK_ALT

// The action a drop would have, from the target's actions for the matched
// format, the keys held and the effects the source offers: a link for
// Ctrl+Shift or Alt, a move for Shift or when copying is not possible,
// else a copy; none when the target and the source share no action.
std::uint32_t ChooseDropEffect(std::uint32_t actions, std::uint32_t keys, std::uint32_t offered);

} // namespace rook
