#include "screen/proposed_name.h"

#include <cstring>
#include <string>

namespace inkswap {

namespace {

constexpr char NoFileStem[] = "screen";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// What a file name may not hold on any system the program runs on.
bool IsForbidden(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr;
}

// Windows drops the spaces and dots that would end a name: the name after
// `from` keeps none.
void DropTrailingSpacesAndDots(std::string& name, std::size_t from) {
    while (name.size() > from && (name.back() == ' ' || name.back() == '.')) {
        name.pop_back();
    }
}

// The screen's own part of the name: its name or its number on a tape,
// its bank in a 128K snapshot.
std::string ScreenPart(const ScreenFile& file, std::size_t index) {
    if (index >= file.Screens.size()) {
        return {};
    }
    if (IsSnapshot(file.Kind)) {
        const int bank = file.Screens[index].Bank;
        return bank < 0 ? std::string() : " bank " + std::to_string(bank);
    }
    if (file.Kind != ScreenFileKind::Tap && file.Kind != ScreenFileKind::Tzx) {
        return {};
    }
    const ScreenName& name = file.Screens[index].Name;
    std::string part = name[0] != '\0' ? name.data() : "screen " + std::to_string(index + 1);
    for (char& c : part) {
        c = IsForbidden(c) ? '_' : c;
    }
    return " " + part;
}

} // namespace

bool ProposeFileName(const char* path, const ScreenFile& file, std::size_t index,
                     const char* extension, char* name, std::size_t capacity) {
    std::string proposed = path != nullptr && path[0] != '\0' ? path : NoFileStem;
    std::size_t last = proposed.size();
    while (last > 0 && !IsSeparator(proposed[last - 1])) {
        --last;
    }
    const std::size_t dot = proposed.rfind('.');
    if (dot != std::string::npos && dot >= last) {
        proposed.erase(dot); // the extension of the last part only
    }
    DropTrailingSpacesAndDots(proposed, last);
    proposed += ScreenPart(file, index);
    DropTrailingSpacesAndDots(proposed, last);
    proposed += extension;
    if (proposed.size() >= capacity) {
        name[0] = '\0';
        return false;
    }
    std::memcpy(name, proposed.c_str(), proposed.size() + 1);
    return true;
}

} // namespace inkswap
