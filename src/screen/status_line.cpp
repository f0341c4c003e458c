#include "screen/status_line.h"

#include "screen/screen_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace inkswap {

namespace {

constexpr const char* ColourNames[] = {"black", "blue", "red",    "magenta",
                                       "green", "cyan", "yellow", "white"};

bool IsOnScreen(std::int32_t x, std::int32_t y) {
    return x >= 0 && x < ScreenColumns && y >= 0 && y < ScreenRows;
}

// Copies text into a buffer of capacity bytes, cutting it before a UTF-8
// character that would not fit whole; always ends it with a 0 byte.
void CopyWholeCharacters(char* buffer, std::size_t capacity, const char* text) {
    std::size_t length = std::strlen(text);
    if (length >= capacity) {
        length = capacity - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
            --length; // text[length] continues a character: cut before its start
        }
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

// Appends printf-style text at the end of the text so far; text that would
// not fit is left out.
template <typename... Values>
void Append(StatusText& text, std::size_t& length, const char* format, Values... values) {
    if (length >= text.size() - 1) {
        return;
    }
    const int written =
        std::snprintf(text.data() + length, text.size() - length, format, values...);
    if (written > 0) {
        length = std::min(length + static_cast<std::size_t>(written), text.size() - 1);
    }
}

void AppendCell(StatusText& text, std::size_t& length, const CellFacts& cell) {
    Append(text, length, "%sx:%d y:%d", StatusSeparator, static_cast<int>(cell.X),
           static_cast<int>(cell.Y));
    if (cell.Attribute < 0) {
        return; // off the screen: no bytes to describe
    }
    const int ink = InkOf(cell.Attribute);
    const int paper = PaperOf(cell.Attribute);
    const int pixels = SpectrumScreenAddress + CellBitmapOffset(cell.X, cell.Y);
    const int attribute = SpectrumScreenAddress + CellAttributeOffset(cell.X, cell.Y);
    Append(text, length, "%sink %d (%s)%spaper %d (%s)", StatusSeparator, ink, ColourName(ink),
           StatusSeparator, paper, ColourName(paper));
    Append(text, length, "%sbright %d%sflash %d", StatusSeparator,
           (cell.Attribute & AttributeBright) != 0 ? 1 : 0, StatusSeparator,
           (cell.Attribute & AttributeFlash) != 0 ? 1 : 0);
    Append(text, length, "%spixels %d ($%04X)%sattribute %d ($%04X)", StatusSeparator, pixels,
           static_cast<unsigned>(pixels), StatusSeparator, attribute,
           static_cast<unsigned>(attribute));
}

} // namespace

bool StatusFacts::operator==(const StatusFacts& other) const {
    return Modified == other.Modified && HasCell == other.HasCell &&
           (!HasCell || Cell == other.Cell) &&
           std::strcmp(FileName.data(), other.FileName.data()) == 0 &&
           std::strcmp(Screen.data(), other.Screen.data()) == 0;
}

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/') {
            name = at + 1;
        }
    }
    return name;
}

CellFacts CellFactsOf(const std::uint8_t* screen, std::int32_t x, std::int32_t y) {
    if (!IsOnScreen(x, y)) {
        return {x, y, -1};
    }
    return {x, y, screen[CellAttributeOffset(x, y)]};
}

void FormatScreenLabel(const ScreenFile& file, std::size_t index, ScreenLabel& label) {
    label[0] = '\0';
    if (index >= file.Screens.size()) {
        return;
    }
    const ScreenEntry& screen = file.Screens[index];
    if (IsSnapshot(file.Kind)) {
        if (screen.Bank < 0) {
            std::snprintf(label.data(), label.size(), " (48K)");
        } else {
            std::snprintf(label.data(), label.size(), " (128K): screen in bank %d", screen.Bank);
        }
        return;
    }
    if (file.Kind != ScreenFileKind::Tap && file.Kind != ScreenFileKind::Tzx) {
        return;
    }
    std::snprintf(label.data(), label.size(), ": screen %d of %d%s%s%s%s",
                  static_cast<int>(index + 1), static_cast<int>(file.Screens.size()),
                  screen.Name[0] != '\0' ? " \"" : "", screen.Name.data(),
                  screen.Name[0] != '\0' ? "\"" : "",
                  screen.ChecksumWrong ? " (checksum wrong)" : "");
}

StatusFacts MakeStatusFacts(const char* path, const char* screenLabel, bool modified, bool hasCell,
                            CellFacts cell) {
    StatusFacts facts{};
    CopyWholeCharacters(facts.FileName.data(), facts.FileName.size(),
                        path != nullptr ? FileNameOf(path) : "");
    CopyWholeCharacters(facts.Screen.data(), facts.Screen.size(),
                        screenLabel != nullptr ? screenLabel : "");
    facts.Modified = modified;
    facts.HasCell = hasCell;
    facts.Cell = hasCell ? cell : CellFacts{};
    return facts;
}

const char* ColourName(std::int32_t number) {
    return ColourNames[number & 7];
}

void FormatStatusLine(const StatusFacts& facts, StatusText& text) {
    std::size_t length = 0;
    text[0] = '\0';
    if (facts.FileName[0] == '\0') {
        Append(text, length, "%s", NoFileText);
    } else {
        Append(text, length, "%s%s%s", facts.FileName.data(), facts.Screen.data(),
               facts.Modified ? " *" : "");
    }
    if (facts.HasCell) {
        AppendCell(text, length, facts.Cell);
    }
}

} // namespace inkswap
