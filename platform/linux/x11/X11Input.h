// Maps X pointer and keyboard state to the flags, key codes and messages the program's windows speak in.
#pragma once

#include <X11/Xlib.h>

#include "platform/api/Types.h"

namespace platform::x11 {

// Whether an X button is one the program hears of (left, middle, right); the wheel's buttons are not.
bool IsMouseButton(unsigned int button);
// The MK_ flags of an X modifier-and-button state.
UINT MouseKeysFromState(unsigned int state);
// The MK_ flags Windows reports with a button message: X gives the state before the event, Windows the
// state after it, so a press adds its button and a release removes it.
UINT MouseKeysAfterButton(unsigned int state, unsigned int button, bool pressed);
// The virtual-key code of a key; 0 for keys the program has no code for.
UINT VirtualKeyFromKeysym(KeySym keysym);
// The message a tray icon's owner gets for a press, release (of button 1..3) or move over the icon;
// 0 for anything else.
UINT TrayMessage(int xEventType, unsigned int button);

}  // namespace platform::x11
