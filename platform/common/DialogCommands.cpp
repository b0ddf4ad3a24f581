// CDialog's commands: Enter and Escape, OK and Cancel, the close box, and the end of the modal run.
#include "platform/api/Dialog.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}

CDialog::~CDialog() = default;

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEnded = true;
}

BOOL CDialog::OnInitDialog() {
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return CWnd::PreTranslateMessage(msg);
  if (msg->wParam == VK_RETURN) {
    SendMessage(WM_COMMAND, static_cast<WPARAM>(DefaultButtonId()));
    return TRUE;
  }
  if (msg->wParam == VK_ESCAPE) {
    SendMessage(WM_COMMAND, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID) {
  if (nID == IDOK) {
    OnOK();
    return TRUE;
  }
  if (nID == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

void CDialog::OnOK() {
  EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

// The close box and the desktop's close request take the cancel path, after the handler that saw them.
void CDialog::OnClose() {
  PostMessage(WM_COMMAND, IDCANCEL);
}
