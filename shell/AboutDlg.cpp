// CAboutDlg: the small modal box that names the program and its version, opened from the menu and the header.
#include "shell/AboutDlg.h"

#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

// With no parent the box belongs to the main window (the hidden frame's last active popup), which it
// disables while it is open; the main window's timers keep running meanwhile.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

// One box at a time: asked again while it is open (from the tray's menu), the open box comes forward.
void CPuzzleDlg::OnAppAbout() {
  if (m_pAboutDlg) {
    m_pAboutDlg->SetForegroundWindow();
    return;
  }
  CAboutDlg dlgAbout;
  m_pAboutDlg = &dlgAbout;
  dlgAbout.DoModal();
  m_pAboutDlg = nullptr;
}
