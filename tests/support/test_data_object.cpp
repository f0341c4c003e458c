#include "support/test_data_object.h"

#include <cstring>
#include <shlobj.h>

namespace testsupport {

std::vector<std::uint8_t> FileListBlock(const std::vector<std::string>& names) {
    std::vector<std::uint8_t> block(sizeof(DROPFILES), 0);
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::string& name : names) {
        wchar_t wide[MAX_PATH] = {};
        const int count = ::MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, wide, MAX_PATH);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(wide);
        block.insert(block.end(), bytes, bytes + count * sizeof(wchar_t));
    }
    block.push_back(0);
    block.push_back(0);
    return block;
}

TestDataObject TestDataObject::FileList(const std::vector<std::string>& names) {
    return TestDataObject(CF_HDROP, FileListBlock(names));
}

TestDataObject TestDataObject::Text(const std::string& text) {
    return TestDataObject(CF_TEXT, std::vector<std::uint8_t>(text.begin(), text.end() + 1));
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryInterface(REFIID requested, void** object) {
    if (IsEqualIID(requested, IID_IUnknown) || IsEqualIID(requested, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryGetData(FORMATETC* wanted) {
    return wanted->cfFormat == format_ && (wanted->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                               : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TestDataObject::GetData(FORMATETC* wanted, STGMEDIUM* medium) {
    if (QueryGetData(wanted) != S_OK) {
        return DV_E_FORMATETC;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, block_.size());
    std::memcpy(::GlobalLock(copy), block_.data(), block_.size());
    ::GlobalUnlock(copy);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

} // namespace testsupport
