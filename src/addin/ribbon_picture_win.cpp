#include "addin/ribbon_picture_win.h"

#include <wincodec.h>

using Microsoft::WRL::ComPtr;

namespace {

HRESULT DecodePng(HMODULE module, int resource, ComPtr<IWICBitmapSource>& pixels) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resource), reinterpret_cast<LPCWSTR>(RT_RCDATA));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory));
  ComPtr<IWICStream> stream;
  if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)),
                                      SizeofResource(module, found));
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (SUCCEEDED(hr)) {
    hr = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder);
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
  ComPtr<IWICFormatConverter> converter;
  if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                               0.0, WICBitmapPaletteTypeCustom);
  }
  // The stream reads the resource in place: the pixels are copied out
  // before anything here is released.
  if (SUCCEEDED(hr)) pixels = converter;
  return hr;
}

}  // namespace

HRESULT PictureFromPngResource(HMODULE module, int resource, ComPtr<IPictureDisp>& picture) {
  ComPtr<IWICBitmapSource> pixels;
  HRESULT hr = DecodePng(module, resource, pixels);
  if (FAILED(hr)) return hr;
  UINT width = 0, height = 0;
  hr = pixels->GetSize(&width, &height);
  if (FAILED(hr)) return hr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return HRESULT_FROM_WIN32(GetLastError());
  hr = pixels->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits));
  if (FAILED(hr)) {
    DeleteObject(bitmap);
    return hr;
  }
  PICTDESC description = {};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  // The picture owns the bitmap from here on.
  hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                reinterpret_cast<void**>(picture.ReleaseAndGetAddressOf()));
  if (FAILED(hr)) DeleteObject(bitmap);
  return hr;
}
