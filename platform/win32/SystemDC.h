// A device context that borrows one of the system's for a while (WM_ERASEBKGND's, a paint's, a window's).
#pragma once

#include "platform/api/DC.h"

namespace platform {

class CSystemDC : public CDC {
 public:
  explicit CSystemDC(HDC hdc) { Borrow(hdc); }
  ~CSystemDC() override { Return(); }
  CSystemDC(const CSystemDC&) = delete;
  CSystemDC& operator=(const CSystemDC&) = delete;

 protected:
  CSystemDC() = default;
  // Draws on `hdc` from now on; what the program selects into it is undone by Return.
  void Borrow(HDC hdc);
  void Return();
};

}  // namespace platform
