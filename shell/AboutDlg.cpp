// CAboutDlg: the small modal box that names the program and its version, opened from the menu and the header.
#include "shell/AboutDlg.h"

#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

// With no parent the box belongs to the main window (the hidden frame's last active popup), which it
// disables while it is open; the main window's timers keep running meanwhile.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

void CPuzzleDlg::OnAppAbout() {
  CAboutDlg dlgAbout;
  dlgAbout.DoModal();
}
