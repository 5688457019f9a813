#pragma once
#include <string>

#include "addin/access/dispatch.h"
// After dispatch.h, which brings windows.h.
#include <ocidl.h>
#include "addin/access/outlook_ids.h"

// The command bars of an explorer window. Every call gives back the
// client's HRESULT so that the caller can report which step failed.
namespace outlook {

HRESULT ExplorerCommandBars(const Dispatch& explorer, Dispatch& commandBars);
// CommandBars.Add(Name, Position, MenuBar omitted, Temporary).
HRESULT AddCommandBar(const Dispatch& commandBars, const std::u16string& name, long position,
                      bool temporary, Dispatch& commandBar);
HRESULT BarControls(const Dispatch& commandBar, Dispatch& controls);
// CommandBar.Delete: the toolbar and its controls go.
HRESULT DeleteCommandBar(const Dispatch& commandBar);
// Controls.Add(Type, Id, Parameter and Before omitted, Temporary).
HRESULT AddControl(const Dispatch& controls, long type, bool temporary, Dispatch& control);

// Toolbar or control.
HRESULT SetVisible(const Dispatch& object, bool visible);
HRESULT SetCaption(const Dispatch& control, const std::u16string& caption);
HRESULT SetEnabled(const Dispatch& control, bool enabled);
HRESULT SetTooltipText(const Dispatch& control, const std::u16string& text);
HRESULT SetTag(const Dispatch& control, const std::u16string& tag);
// A null tag comes back as "".
HRESULT GetTag(const Dispatch& control, std::u16string& tag);

// The control as a command-bar button; empty when it is none.
Dispatch AsCommandBarButton(const Dispatch& control);
HRESULT SetFaceId(const Dispatch& button, long faceId);
HRESULT SetStyle(const Dispatch& button, long style);

// The button's connection point for its Click events.
HRESULT ButtonEventsConnection(const Dispatch& button,
                               Microsoft::WRL::ComPtr<IConnectionPoint>& connection);

}  // namespace outlook
