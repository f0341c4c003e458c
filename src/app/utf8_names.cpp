#include "app/utf8_names.h"

namespace inkswap {

bool ToUtf8(const wchar_t* wide, Utf8Name& name) {
    const int written = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, name.data(),
                                              static_cast<int>(name.size()), nullptr, nullptr);
    if (written <= 0) {
        name[0] = '\0';
        return false;
    }
    return true;
}

bool ToWide(const char* text, wchar_t* wide, int capacity) {
    const int written =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, capacity);
    if (written <= 0) {
        wide[0] = L'\0';
        return false;
    }
    return true;
}

wchar_t* LastSeparator(wchar_t* path) {
    wchar_t* last = nullptr;
    for (wchar_t* at = path; *at != L'\0'; ++at) {
        if (*at == L'\\' || *at == L'/') {
            last = at;
        }
    }
    return last;
}

} // namespace inkswap
