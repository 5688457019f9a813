#pragma once
#include <windows.h>

#include <ole2.h>

// One single-threaded apartment per test, as the client's UI thread has.
class ComApartment {
 public:
  ComApartment() { OleInitialize(nullptr); }
  ~ComApartment() { OleUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};
