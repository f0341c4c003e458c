#include "support/pixel_picture.h"

#include <sstream>

namespace testsupport {

namespace {

char CharacterOf(const MemoryOutput& output, std::int32_t x, std::int32_t y, const Legend& legend) {
    if (output.Untouched(x, y)) {
        return '-';
    }
    const rook::Colour colour = output.PixelAt(x, y);
    for (const auto& [character, value] : legend) {
        if (value == colour) {
            return character;
        }
    }
    return '?';
}

} // namespace

::testing::AssertionResult MatchesPicture(const MemoryOutput& output, std::int32_t left,
                                          std::int32_t top, const std::vector<std::string>& rows,
                                          const Legend& legend) {
    std::vector<std::string> actual;
    bool same = true;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::string line;
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            line += CharacterOf(output, left + static_cast<std::int32_t>(column),
                                top + static_cast<std::int32_t>(row), legend);
        }
        same = same && line == rows[row];
        actual.push_back(line);
    }
    if (same) {
        return ::testing::AssertionSuccess();
    }
    std::ostringstream message;
    message << "pixels from (" << left << ", " << top << ") differ; expected | actual:\n";
    for (std::size_t row = 0; row < rows.size(); ++row) {
        message << "  " << rows[row] << " | " << actual[row]
                << (rows[row] == actual[row] ? "" : "   <") << '\n';
    }
    return ::testing::AssertionFailure() << message.str();
}

} // namespace testsupport
