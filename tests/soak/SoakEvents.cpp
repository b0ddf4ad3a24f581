// The soak's input events: what each one does, drawn at random from a seed, and written out for a person.
#include "SoakEvents.h"

#include <array>
#include <cstdio>

#include "platform/api/Types.h"
#include "res/ResourceIds.h"

namespace soak {

namespace {

constexpr std::array kMenuKeys{VK_DOWN, VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, VK_RETURN, VK_ESCAPE};
constexpr std::array kOtherKeys{VK_SPACE, VK_TAB, static_cast<UINT>('A'), VK_F1, VK_RETURN, VK_ESCAPE};
constexpr std::array kTrayMessages{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                   WM_RBUTTONUP,   WM_MOUSEMOVE, WM_LBUTTONDBLCLK};
// Every command but the exit, which ends the program and comes much more rarely.
constexpr std::array kCommands{
    ID_START,      ID_INFO,        ID_COLOR_RED,    ID_COLOR_YELLOW,  ID_COLOR_GREEN,  ID_COLOR_CYAN,
    ID_COLOR_BLUE, ID_COLOR_BLACK, ID_COLOR_PURPLE, ID_PATTERN_3,     ID_PATTERN_7,    ID_PATTERN_11,
    ID_PATTERN_15, ID_PATTERN_19,  ID_SCREEN_SMALL, ID_SCREEN_MEDIUM, ID_SCREEN_LARGE, ID_BOARD_16,
    ID_BOARD_25,   ID_BOARD_36,    ID_BOARD_49,     ID_BOARD_64,      ID_BOARD_100,    ID_APP_ABOUT};
constexpr std::array kShortWaits{1, 5, 10, 30, 50, 100, 100, 150, 250};
constexpr std::array kLongWaits{1000, 3000, 60000, 3'600'000};

template <typename T, std::size_t N>
T Pick(CRandom& random, const std::array<T, N>& from) {
  return from[static_cast<std::size_t>(random.Below(static_cast<int>(N)))];
}

class CGenerator {
 public:
  CGenerator(std::uint64_t seed, std::size_t count) : m_random(seed), m_count(count) {}

  std::vector<Event> Run() {
    while (m_events.size() < m_count) Action();
    m_events.resize(m_count);
    return std::move(m_events);
  }

 private:
  void Add(Kind kind, Target target = Target::Window, int button = 1, int a = 0, int b = 0) {
    m_events.push_back(Event{kind, target, button, a, b});
  }
  int Thousandth() { return m_random.Below(1000); }
  // An event at a random place of `target`; the two draws are sequenced, so every compiler agrees.
  void AddAt(Kind kind, Target target, int button = 1) {
    const int a = Thousandth();
    const int b = Thousandth();
    Add(kind, target, button, a, b);
  }
  void Click(Target target, int button, int a, int b) {
    Add(Kind::Press, target, button, a, b);
    Add(Kind::Release, target, button, a, b);
  }

  void Action() {
    const int roll = m_random.Below(1000);
    if (roll < 220) return Click(Target::Cell, 1, m_random.Below(100), 0);
    if (roll < 270) return PressAndReleaseElsewhere();
    if (roll < 330) return Drag();
    if (roll < 380) return Click(Target::Button, 1, HeaderButton(), 0);
    if (roll < 440) return RightClick();
    if (roll < 550) return MenuKeys();
    if (roll < 620) return MenuMouse();
    if (roll < 660)
      return Add(Kind::Tray, Target::Window, 1, static_cast<int>(Pick(m_random, kTrayMessages)));
    if (roll < 680) return Add(m_random.Below(40) == 0 ? Kind::CloseMain : Kind::CloseDialog);
    if (roll < 740) return Add(Kind::Command, Target::Window, 1, static_cast<int>(CommandId()));
    if (roll < 760) return AboutBox();
    if (roll < 770) return Destroy();
    if (roll < 790) return Add(Kind::Key, Target::Window, 1, static_cast<int>(Pick(m_random, kOtherKeys)));
    if (roll < 800) return AddAt(Kind::Move, Target::Screen);
    if (roll < 985) return Add(Kind::Wait, Target::Window, 1, Pick(m_random, kShortWaits));
    return Add(Kind::Wait, Target::Window, 1, Pick(m_random, kLongWaits));
  }

  // What ends the program comes rarely, so that most events find a program that has run a while.
  int HeaderButton() { return m_random.Below(100) == 0 ? 3 : m_random.Below(3); }
  UINT CommandId() { return m_random.Below(200) == 0 ? ID_EXIT : Pick(m_random, kCommands); }

  void RightClick() {
    const int a = Thousandth();
    const int b = Thousandth();
    Click(Target::Window, 3, a, b);
  }

  void PressAndReleaseElsewhere() {
    Add(Kind::Press, Target::Cell, 1, m_random.Below(100));
    AddAt(Kind::Move, Target::Window);
    AddAt(Kind::Release, Target::Window);
  }

  void Drag() {
    AddAt(Kind::Press, Target::Window);
    const int moves = 1 + m_random.Below(4);
    for (int i = 0; i < moves; ++i) AddAt(Kind::Move, Target::Screen);
    if (m_random.Below(3) == 0) Add(Kind::Wait, Target::Window, 1, Pick(m_random, kShortWaits));
    AddAt(Kind::Release, Target::Screen);
  }

  void MenuKeys() {
    const int keys = 1 + m_random.Below(4);
    for (int i = 0; i < keys; ++i)
      Add(Kind::Key, Target::Window, 1, static_cast<int>(Pick(m_random, kMenuKeys)));
  }

  void MenuMouse() {
    const int a = Thousandth();
    const int b = Thousandth();
    Add(Kind::Move, Target::Menu, 1, a, b);
    if (m_random.Below(4) == 0) return;
    Click(Target::Menu, m_random.Below(4) == 0 ? 3 : 1, a, b);
  }

  // Opened by the menu's command or the header button, and ended by OK, Enter, Escape or the close box.
  void AboutBox() {
    if (m_random.Below(2) == 0) {
      Click(Target::Button, 1, 1, 0);
    } else {
      Add(Kind::Command, Target::Window, 1, static_cast<int>(ID_INFO));
    }
    switch (m_random.Below(4)) {
      case 0: {
        const int a = 700 + m_random.Below(250);
        const int b = 700 + m_random.Below(200);
        Click(Target::Dialog, 1, a, b);
        break;
      }
      case 1: Add(Kind::Key, Target::Window, 1, VK_RETURN); break;
      case 2: Add(Kind::Key, Target::Window, 1, VK_ESCAPE); break;
      default: Add(Kind::CloseDialog); break;
    }
  }

  void Destroy() {
    const int roll = m_random.Below(40);
    Add(roll < 20 ? Kind::DestroyMenu : roll < 39 ? Kind::DestroyAbout : Kind::DestroyMain);
  }

  CRandom m_random;
  std::size_t m_count;
  std::vector<Event> m_events;
};

const char* TargetName(Target target) {
  switch (target) {
    case Target::Cell: return "cell";
    case Target::Button: return "header button";
    case Target::Window: return "window";
    case Target::Menu: return "menu";
    case Target::Dialog: return "About box";
    case Target::Screen: return "screen";
  }
  return "?";
}

std::string Place(const Event& e) {
  char text[64];
  if (e.target == Target::Cell || e.target == Target::Button) {
    std::snprintf(text, sizeof text, "%s %d", TargetName(e.target), e.a);
  } else {
    std::snprintf(text, sizeof text, "%s at %d.%03d, %d.%03d", TargetName(e.target), e.a / 1000, e.a % 1000,
                  e.b / 1000, e.b % 1000);
  }
  return text;
}

}  // namespace

std::uint64_t CRandom::Next() {
  std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::vector<Event> Generate(std::uint64_t seed, std::size_t count) {
  return CGenerator(seed, count).Run();
}

std::string Describe(const Event& e) {
  char text[96];
  static const char* const kButtons[] = {"?", "left", "middle", "right"};
  const char* button = kButtons[e.button >= 1 && e.button <= 3 ? e.button : 0];
  switch (e.kind) {
    case Kind::Press: return std::string("press ") + button + " on " + Place(e);
    case Kind::Release: return std::string("release ") + button + " on " + Place(e);
    case Kind::Move: return "move to " + Place(e);
    case Kind::Key: std::snprintf(text, sizeof text, "key 0x%02X", e.a); return text;
    case Kind::Tray: std::snprintf(text, sizeof text, "tray message 0x%03X", e.a); return text;
    case Kind::CloseMain: return "close request for the main window";
    case Kind::CloseDialog: return "close request for the About box";
    case Kind::Command: std::snprintf(text, sizeof text, "command 0x%04X", e.a); return text;
    case Kind::Wait: std::snprintf(text, sizeof text, "wait %d ms", e.a); return text;
    case Kind::DestroyMenu: return "another client destroys the popup menu";
    case Kind::DestroyAbout: return "another client destroys the About box";
    case Kind::DestroyMain: return "another client destroys the main window";
  }
  return "?";
}

}  // namespace soak
