#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "send/list_geometry.h"
#include "send/suggestion_list.h"

// The private message by which the auto-complete edit and its list tell
// their owners what happened; wParam is the code, lParam the sender's id.
inline constexpr UINT kAutoCompleteNotify = 0x8B0;
inline constexpr WPARAM kNotifyEntryApplied = 0x100;
inline constexpr WPARAM kNotifyTextChanged = 0x400;
inline constexpr int kSuggestionListId = 1000;

// The drop-down list of suggestions below the recipients field: a
// free-floating, non-activating, always-on-top window, so that the field
// keeps the keyboard focus while the user points at the list.
class CACListWnd {
 public:
  CACListWnd() = default;
  ~CACListWnd();
  CACListWnd(const CACListWnd&) = delete;
  CACListWnd& operator=(const CACListWnd&) = delete;

  // Creates the list hidden for `edit`, which gets the row-clicked notice.
  void Create(HWND edit);
  void SetEntries(std::vector<std::u16string> entries);

  // Shows the matches of `token` below the field, or hides the list when
  // there are none; false when hidden.
  bool ShowMatches(const std::u16string& token);
  void Hide();
  bool IsShown() const;

  // The selected row's entry, else the first match, else empty.
  std::u16string SelectedEntry() const;
  // Moves the selection by a navigation key and brings it into view.
  void MoveSelection(ListKey key);

  HWND Window() const { return window_; }
  int MatchCount() const { return static_cast<int>(matches_.size()); }
  const std::u16string& Match(int row) const;
  int Selected() const { return selected_; }
  int TopRow() const { return topRow_; }
  int VisibleRowCount() const { return visibleRows_; }
  int RowHeight() const { return metrics_.rowHeight; }
  bool ScrollBarShown() const;

  // The list behind a window made by Create, for tests; nullptr otherwise.
  static CACListWnd* FromWindow(HWND window);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void Place();
  void Layout();
  void BringIntoView(int row, bool animated);
  void SetTopRow(int top);
  void UpdateScrollBar();
  void Repaint(bool now);
  int RowAt(int y) const;
  RECT GripRect() const;
  bool OnGrip(POINT client) const;
  void Click(int row);
  void Scroll(WORD request);
  void Paint(HDC target);
  void PaintGrip(HDC dc, const RECT& client);

  HWND edit_ = nullptr;
  HWND window_ = nullptr;
  HWND scrollBar_ = nullptr;
  SuggestionList entries_;
  SuggestionList::Range matches_;
  UINT_PTR timer_ = 0;
  int topRow_ = 0;
  int visibleRows_ = 0;
  int selected_ = -1;
  ListMetrics metrics_;
  RECT dialogRect_{};
  long userWidth_ = 0;
  long userHeight_ = 0;
  bool sizing_ = false;
  POINT sizingFrom_{};
  SIZE sizeAtStart_{};
};
