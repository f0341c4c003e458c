#include "cli/info_report.h"

#include "screen/screen_image.h"

#include <array>
#include <cstdio>

namespace inkswap::cli {

namespace {

struct Counts {
    int Flashing = 0;
    int ToCorrect = 0;
};

Counts CountCells(const ScreenFile& file, std::size_t index) {
    std::array<std::uint8_t, ScreenFileSize> screen{};
    CopyScreen(file, index, screen.data());
    Counts counts;
    for (std::int32_t y = 0; y < ScreenRows; ++y) {
        for (std::int32_t x = 0; x < ScreenColumns; ++x) {
            counts.Flashing += (screen[CellAttributeOffset(x, y)] & 0x80) != 0 ? 1 : 0;
            counts.ToCorrect += CellInkCount(screen.data(), x, y) > 32 ? 1 : 0;
        }
    }
    return counts;
}

const char* KindName(ScreenFileKind kind) {
    switch (kind) {
    case ScreenFileKind::Raw:
        return "screen";
    case ScreenFileKind::Plus3Dos:
        return "+3DOS file";
    case ScreenFileKind::Tap:
        return "TAP tape";
    case ScreenFileKind::Tzx:
        return "TZX tape";
    case ScreenFileKind::Sna:
        return "SNA snapshot";
    case ScreenFileKind::Z80:
        return "Z80 snapshot";
    case ScreenFileKind::Szx:
        return "SZX snapshot";
    }
    return "";
}

const char* KindKey(ScreenFileKind kind) {
    constexpr const char* Keys[] = {"raw", "plus3dos", "tap", "tzx", "sna", "z80", "szx"};
    return Keys[static_cast<int>(kind)];
}

// A snapshot's machine: 128K when its screens lie in banks.
const char* MachineOf(const ScreenFile& file) {
    if (!IsSnapshot(file.Kind)) {
        return nullptr;
    }
    return file.Screens.front().Bank >= 0 ? "128K" : "48K";
}

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ScreenLine(const ScreenFile& file, std::size_t index) {
    const ScreenEntry& entry = file.Screens[index];
    std::string line = "  screen " + std::to_string(index + 1);
    if (entry.Name[0] != '\0') {
        line += " \"" + std::string(entry.Name.data()) + "\"";
    }
    if (entry.Bank >= 0) {
        line += " (bank " + std::to_string(entry.Bank) + ")";
    }
    const Counts counts = CountCells(file, index);
    line += ": " + Counted(counts.Flashing, "flashing cell", "flashing cells") + ", " +
            Counted(counts.ToCorrect, "cell to correct", "cells to correct");
    if (entry.ChecksumWrong) {
        line += " (checksum wrong)";
    }
    return line + "\n";
}

// The length of the UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t SequenceLength(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string InfoText(const std::string& name, const ScreenFile& file) {
    std::string text = name + ": " + KindName(file.Kind);
    if (const char* machine = MachineOf(file)) {
        text += std::string(" (") + machine + ")";
    }
    text += ", " + Counted(static_cast<int>(file.Screens.size()), "screen", "screens") + "\n";
    for (std::size_t i = 0; i < file.Screens.size(); ++i) {
        text += ScreenLine(file, i);
    }
    return text;
}

std::string InfoJson(const std::string& name, const ScreenFile& file) {
    const char* machine = MachineOf(file);
    std::string json =
        "{\"file\": " + JsonString(name) + ", \"kind\": \"" + KindKey(file.Kind) +
        "\", \"machine\": " + (machine != nullptr ? "\"" + std::string(machine) + "\"" : "null") +
        ", \"screens\": [";
    for (std::size_t i = 0; i < file.Screens.size(); ++i) {
        const ScreenEntry& entry = file.Screens[i];
        const Counts counts = CountCells(file, i);
        json += i > 0 ? ", " : "";
        json += "{\"number\": " + std::to_string(i + 1) +
                ", \"name\": " + (entry.Name[0] != '\0' ? JsonString(entry.Name.data()) : "null") +
                ", \"bank\": " + (entry.Bank >= 0 ? std::to_string(entry.Bank) : "null") +
                ", \"checksumWrong\": " + (entry.ChecksumWrong ? "true" : "false") +
                ", \"flashingCells\": " + std::to_string(counts.Flashing) +
                ", \"cellsToCorrect\": " + std::to_string(counts.ToCorrect) + "}";
    }
    return json + "]}";
}

std::string InfoDocument(const std::vector<std::string>& files) {
    std::string document = "{\"files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        document += (i > 0 ? ",\n  " : "\n  ") + files[i];
    }
    return document + (files.empty() ? "]}\n" : "\n]}\n");
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            json += "\\ufffd";
            ++at;
        } else if (byte == '"' || byte == '\\') {
            json += '\\';
            json += static_cast<char>(byte);
            ++at;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
            ++at;
        } else {
            json.append(text, at, length);
            at += length;
        }
    }
    return json + "\"";
}

} // namespace inkswap::cli
