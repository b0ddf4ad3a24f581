// CPuzzleApp: the application object, which runs the main window modally and then lets the process end.
#pragma once

#include "platform/api/Dialog.h"
#include "platform/api/WinApp.h"

class CPuzzleDlg;

class CPuzzleApp : public CWinApp {
 public:
  CPuzzleApp();
  ~CPuzzleApp() override;

  // The whole run of the program; always FALSE, so the framework runs no message loop of its own.
  BOOL InitInstance() override;

  // For tests: the main window while its modal run lasts (null before and after), and what the run
  // returned (-1 until it has returned, and when it could not run or was ended from outside).
  CPuzzleDlg* GetPuzzleDlg() const { return m_pPuzzleDlg; }
  INT_PTR GetModalResult() const { return m_nModalResult; }

 protected:
  // Constructs the main window and runs it through RunModal. A test may run a window of its own instead.
  virtual void RunMainWindow();
  void RunModal(CPuzzleDlg& dlg);

 private:
  CPuzzleDlg* m_pPuzzleDlg = nullptr;
  INT_PTR m_nModalResult = -1;
};
