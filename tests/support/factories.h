// The Direct2D and DirectWrite factories a window or renderer under test draws with.
#pragma once

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

namespace lumetta::test {

struct Factories {
  Factories() {
    D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, d2d.GetAddressOf());
    DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                        reinterpret_cast<IUnknown**>(dwrite.GetAddressOf()));
  }
  Microsoft::WRL::ComPtr<ID2D1Factory> d2d;
  Microsoft::WRL::ComPtr<IDWriteFactory> dwrite;
};

}  // namespace lumetta::test
