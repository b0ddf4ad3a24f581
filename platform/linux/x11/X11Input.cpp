// Translates X button and modifier state and keysyms into the program's MK_ flags and virtual-key codes.
#include "platform/linux/x11/X11Input.h"

#include <X11/keysym.h>

namespace platform::x11 {

namespace {

UINT MouseKeyOfButton(unsigned int button) {
  switch (button) {
    case Button1: return MK_LBUTTON;
    case Button2: return MK_MBUTTON;
    case Button3: return MK_RBUTTON;
    default: return 0;
  }
}

}  // namespace

bool IsMouseButton(unsigned int button) {
  return button >= Button1 && button <= Button3;
}

UINT MouseKeysFromState(unsigned int state) {
  UINT keys = 0;
  if (state & Button1Mask) keys |= MK_LBUTTON;
  if (state & Button2Mask) keys |= MK_MBUTTON;
  if (state & Button3Mask) keys |= MK_RBUTTON;
  if (state & ShiftMask) keys |= MK_SHIFT;
  if (state & ControlMask) keys |= MK_CONTROL;
  return keys;
}

UINT MouseKeysAfterButton(unsigned int state, unsigned int button, bool pressed) {
  const UINT keys = MouseKeysFromState(state);
  return pressed ? keys | MouseKeyOfButton(button) : keys & ~MouseKeyOfButton(button);
}

UINT VirtualKeyFromKeysym(KeySym keysym) {
  // Letters and digits share their codes with upper-case ASCII.
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<UINT>('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<UINT>('A' + (keysym - XK_A));
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<UINT>('0' + (keysym - XK_0));
  if (keysym >= XK_F1 && keysym <= XK_F12) return VK_F1 + static_cast<UINT>(keysym - XK_F1);
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter: return VK_RETURN;
    case XK_Escape: return VK_ESCAPE;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VK_TAB;
    case XK_BackSpace: return VK_BACK;
    case XK_space: return VK_SPACE;
    case XK_Left:
    case XK_KP_Left: return VK_LEFT;
    case XK_Up:
    case XK_KP_Up: return VK_UP;
    case XK_Right:
    case XK_KP_Right: return VK_RIGHT;
    case XK_Down:
    case XK_KP_Down: return VK_DOWN;
    case XK_Prior: return 0x21;   // VK_PRIOR
    case XK_Next: return 0x22;    // VK_NEXT
    case XK_End: return 0x23;     // VK_END
    case XK_Home: return 0x24;    // VK_HOME
    case XK_Insert: return 0x2D;  // VK_INSERT
    case XK_Delete: return 0x2E;  // VK_DELETE
    case XK_Shift_L:
    case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VK_CONTROL;
    default: return 0;
  }
}

UINT TrayMessage(int xEventType, unsigned int button) {
  if (xEventType == MotionNotify) return WM_MOUSEMOVE;
  const bool pressed = xEventType == ButtonPress;
  if (!pressed && xEventType != ButtonRelease) return 0;
  switch (button) {
    case Button1: return pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Button2: return pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case Button3: return pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;
  }
}

}  // namespace platform::x11
