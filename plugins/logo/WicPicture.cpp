#include "plugins/logo/WicPicture.h"

#include <windows.h>
#include <wincodec.h>
#include "platform/LibraryLoader.h"

namespace qk::logo {
namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (m_p)
            m_p->Release();
    }
    T** Out() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

// COM, like the imaging library, comes with the first picture, not with the plug-in.
template <typename Function> Function* Ole32(const char* name) {
    return SystemLibraryFunction<Function>(L"ole32.dll", name);
}

// COM for this thread for the time of one load; a thread already in another apartment keeps
// it.
class ComScope {
public:
    ComScope() {
        auto* initialize = Ole32<decltype(::CoInitializeEx)>("CoInitializeEx");
        m_hr = initialize ? initialize(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    }
    ~ComScope() {
        if (SUCCEEDED(m_hr))
            Ole32<decltype(::CoUninitialize)>("CoUninitialize")();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Usable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hr = E_FAIL;
};

PictureLoad Decode(IWICImagingFactory* factory, const std::wstring& path, Picture& picture) {
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Out())))
        return PictureLoad::Unreadable;
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Out())))
        return PictureLoad::Unreadable;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height)))
        return PictureLoad::Unreadable;
    if (width == 0 || height == 0)
        return PictureLoad::Empty;
    if (!PictureSizeAccepted(width, height))
        return PictureLoad::TooLarge;
    // The imaging library comes with the first picture, not with the plug-in.
    static auto* const convert = SystemLibraryFunction<decltype(::WICConvertBitmapSource)>(
        L"windowscodecs.dll", "WICConvertBitmapSource");
    ComRef<IWICBitmapSource> pixels;
    if (!convert || FAILED(convert(GUID_WICPixelFormat32bppBGRA, frame.Get(), pixels.Out())))
        return PictureLoad::Unreadable;
    Picture decoded;
    decoded.width = static_cast<int32_t>(width);
    decoded.height = static_cast<int32_t>(height);
    decoded.bgra.resize(static_cast<std::size_t>(width) * height * 4);
    if (FAILED(pixels->CopyPixels(nullptr, width * 4, static_cast<UINT>(decoded.bgra.size()),
                                  decoded.bgra.data())))
        return PictureLoad::Unreadable;
    picture = std::move(decoded);
    return PictureLoad::Ok;
}

} // namespace

PictureLoad LoadPicture(const std::wstring& path, Picture& picture) {
    ComScope com;
    if (!com.Usable() || path.empty())
        return PictureLoad::Unreadable;
    auto* create = Ole32<decltype(::CoCreateInstance)>("CoCreateInstance");
    ComRef<IWICImagingFactory> factory;
    if (!create || FAILED(create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))))
        return PictureLoad::Unreadable;
    try {
        return Decode(factory.Get(), path, picture);
    } catch (const std::bad_alloc&) {
        return PictureLoad::TooLarge;
    }
}

} // namespace qk::logo
