#pragma once
// A data object as a drag source offers it, for driving drop targets in
// tests: one format as a global memory block, with the effects the source
// allows. File lists are built from names as the shell builds them.

#include "platform/win32/win32.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// COM interfaces have no virtual destructor; these objects live on the
// stack of a test and are never freed through Release.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

class TestDataObject final : public IDataObject {
public:
    TestDataObject(CLIPFORMAT format, std::vector<std::uint8_t> block)
        : format_(format), block_(std::move(block)) {}

    // A file list (wide names, as the shell gives them).
    static TestDataObject FileList(const std::vector<std::string>& names);
    static TestDataObject Text(const std::string& text);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID requested, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    CLIPFORMAT format_;
    std::vector<std::uint8_t> block_;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// A file-list block (DROPFILES and the names) for the given names.
std::vector<std::uint8_t> FileListBlock(const std::vector<std::string>& names);

} // namespace testsupport
