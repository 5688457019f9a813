#pragma once
#include <windows.h>

#include <vector>

// Keeps a resizable dialog's controls at their distances from the edges
// they are anchored to: anchored to both sides of an axis a control
// stretches, to the far side only it moves, to the near side only it stays.
class AnchoredLayout {
 public:
  enum Anchor : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };
  struct Control {
    int id;
    unsigned anchors;
  };

  // Takes the controls' places as the template laid them out; the dialog's
  // size then is its smallest.
  void Capture(HWND dialog, const std::vector<Control>& controls);
  void Apply() const;
  // For WM_GETMINMAXINFO.
  void LimitSize(MINMAXINFO& limits) const;
  // For a dialog hook: applies the layout on WM_SIZE, letting the message go
  // on, and answers WM_GETMINMAXINFO. True when it has answered.
  bool OnMessage(UINT message, LPARAM lParam, LRESULT& result) const;

 private:
  struct Placed {
    HWND window;
    unsigned anchors;
    RECT rect;  // in the client area as captured
  };
  HWND dialog_ = nullptr;
  SIZE client_{};
  SIZE smallest_{};
  std::vector<Placed> placed_;
};
