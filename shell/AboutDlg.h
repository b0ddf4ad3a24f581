// CAboutDlg: the small modal box that names the program and its version.
#pragma once

#include "platform/api/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
};
