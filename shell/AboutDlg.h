// CAboutDlg: the small modal box that names the program and its version.
#pragma once

#include "platform/core/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
};
