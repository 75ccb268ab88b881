#include "controls/UrlDataObject.h"

#include <shlobj.h>

#include "core/Utf8.h"

namespace {

// Reference counting shared by the two small OLE objects below.
template <class Interface>
class OleObject : public Interface {
public:
    virtual ~OleObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

private:
    ULONG m_references = 1;
};

class BlockDataObject final : public OleObject<IDataObject> {
public:
    BlockDataObject(GlobalBlock block, CLIPFORMAT format) : m_block(std::move(block))
    {
        m_format = { format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (medium == nullptr)
            return E_POINTER;
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK)
            return offered;
        HANDLE copy = ::OleDuplicateData(m_block.get(), m_format.cfFormat, 0);
        if (copy == nullptr)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        if (format == nullptr)
            return E_POINTER;
        if (format->cfFormat != m_format.cfFormat)
            return DV_E_FORMATETC;
        if (format->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if ((format->tymed & TYMED_HGLOBAL) == 0)
            return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out != nullptr)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        return ::SHCreateStdEnumFmtEtc(1, &m_format, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    GlobalBlock m_block;
    FORMATETC m_format;
};

class ButtonDropSource final : public OleObject<IDropSource> {
public:
    explicit ButtonDropSource(DWORD button) : m_button(button) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
    {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        return (keyState & m_button) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DWORD m_button;
};

// The bytes of the character that begins at text[at]. A UTF-8 sequence counts only the
// continuation bytes really there, so a broken one never takes the next character with it.
std::size_t CharacterBytes(const std::string& text, std::size_t at, UINT codePage)
{
    const auto lead = static_cast<BYTE>(text[at]);
    const std::size_t left = text.size() - at;
    if (codePage != CP_UTF8)
        return ::IsDBCSLeadByteEx(codePage, lead) && left > 1 ? 2 : 1;
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t bytes = 1;
    while (bytes < expected && bytes < left && IsUtf8Continuation(text[at + bytes]))
        ++bytes;
    return bytes;
}

}  // namespace

std::size_t MultibytePrefixLength(const std::string& text, std::size_t maxBytes, UINT codePage)
{
    if (codePage == CP_ACP)
        codePage = ::GetACP();   // UTF-8 when the manifest asks for it
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + CharacterBytes(text, length, codePage);
        if (next > maxBytes)
            break;
        length = next;
    }
    return length;
}

ComPtr<IDataObject> MakeBlockDataObject(GlobalBlock block, CLIPFORMAT format)
{
    return ComPtr<IDataObject>(new BlockDataObject(std::move(block), format));
}

ComPtr<IDropSource> MakeButtonDropSource(DWORD button)
{
    return ComPtr<IDropSource>(new ButtonDropSource(button));
}
