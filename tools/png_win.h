// Saving what a tool drew as a PNG, and the paths the Makefile gives it.
#pragma once

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_window.h"

namespace lumetta::tools {

inline bool SavePng(const lumetta::test::Capture& shot, const wchar_t* path) {
  Microsoft::WRL::ComPtr<IWICImagingFactory> wic;
  Microsoft::WRL::ComPtr<IWICStream> stream;
  Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
  Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
  const auto stride = static_cast<std::size_t>(shot.width());
  std::vector<std::uint32_t> rows(stride * static_cast<std::size_t>(shot.height()));
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      rows[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] =
          shot.at(x, y) | 0xFF000000u;
    }
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const auto width = static_cast<UINT>(shot.width());
  const auto height = static_cast<UINT>(shot.height());
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&wic))) &&
         SUCCEEDED(wic->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(path, GENERIC_WRITE)) &&
         SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
         SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         SUCCEEDED(frame->WritePixels(height, width * 4, width * height * 4,
                                      reinterpret_cast<BYTE*>(rows.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// A Linux path from the Makefile is a path on Wine's drive Z:.
inline std::wstring WinePath(std::wstring path) {
  if (path.starts_with(L"/")) {
    path.insert(0, L"Z:");
    std::replace(path.begin(), path.end(), L'/', L'\\');
  }
  return path;
}

}  // namespace lumetta::tools
