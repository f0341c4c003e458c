#pragma once
// Compares a rectangle of an output with a small picture written as rows of
// characters ("..##..") and a legend naming each character's colour; '-'
// stands for a pixel that nothing was drawn on. On a mismatch the message
// shows the expected and the actual picture side by side.

#include "support/memory_output.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

using Legend = std::map<char, rook::Colour>;

::testing::AssertionResult MatchesPicture(const MemoryOutput& output, std::int32_t left,
                                          std::int32_t top, const std::vector<std::string>& rows,
                                          const Legend& legend);

} // namespace testsupport
