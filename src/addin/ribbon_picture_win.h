#pragma once
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

// A PNG resource of `module` as a picture for the ribbon: a 32-bit
// top-down bitmap with premultiplied alpha, so that its transparent parts
// show the ribbon's own colour, light or dark. Decoded with the platform's
// imaging component.
HRESULT PictureFromPngResource(HMODULE module, int resource, Microsoft::WRL::ComPtr<IPictureDisp>& picture);
