// The soak's input events: what each one does, drawn at random from a seed, and written out for a person.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

// Where a pointer event lands. The place is found when the event runs, from what the program shows then,
// so an event means something whatever ran before it: a shorter sequence still replays.
enum class Target : std::uint8_t {
  Cell,    // a: the cell (taken modulo the cells of the board)
  Button,  // a: the header button, 0 .. 3
  Window,  // a, b: thousandths of the main window's width and height
  Menu,    // a, b: thousandths of the deepest open menu (the main window when no menu is open)
  Dialog,  // a, b: thousandths of the About box (the main window when it is not open)
  Screen,  // a, b: thousandths of the screen
};

enum class Kind : std::uint8_t {
  Press,         // button, target
  Release,       // button, target
  Move,          // target
  Key,           // a: virtual-key code
  Tray,          // a: the mouse message over the tray icon
  CloseMain,     // the desktop's close request for the main window
  CloseDialog,   // the same for the About box
  Command,       // a: a command id, posted as the popup menu would (only when the main window takes input)
  Wait,          // a: milliseconds of virtual time
  DestroyMenu,   // another client destroys the open popup menu
  DestroyAbout,  // another client destroys the About box
  DestroyMain,   // another client destroys the main window
};

struct Event {
  Kind kind = Kind::Wait;
  Target target = Target::Window;
  int button = 1;
  int a = 0;
  int b = 0;
};

// A deterministic generator (SplitMix64): the same seed gives the same events on every machine.
class CRandom {
 public:
  explicit CRandom(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next();
  // A number in [0, n).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t m_state;
};

// `count` events drawn from `seed`: clicks, drags, right clicks, menu walks by mouse and keyboard, header
// buttons, tray presses, close requests, commands, About boxes, windows destroyed from outside, and time
// jumps short and long, so that input often lands in the middle of an animation.
std::vector<Event> Generate(std::uint64_t seed, std::size_t count);

std::string Describe(const Event& event);

}  // namespace soak
