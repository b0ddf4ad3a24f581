// CDialog: a window made from a dialog template and run modally over its owner.
#pragma once

#include <cstdint>

#include "platform/api/Resources.h"
#include "platform/api/Wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
  ~CDialog() override;

  // Creates the window from the template, runs it until EndDialog and destroys it; -1 when it could not run.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  virtual BOOL OnInitDialog();

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCmdMsg(UINT nID) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  void OnClose() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  // Builds the template's controls as child windows.
  virtual void CreateControls(const platform::DialogResource& tmpl);
  // The control id that Enter presses.
  int DefaultButtonId() const;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  HWND ResolveOwner() const;
  bool CreateFromTemplate(const platform::DialogResource& tmpl, HWND owner);
  RECT TemplateRect(const platform::DialogResource& tmpl, HWND owner) const;

  int m_nModalResult = -1;
  bool m_bEnded = false;
};
