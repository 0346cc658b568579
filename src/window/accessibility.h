// What a screen reader sees of a custom-drawn window: a tree of elements, each with a role,
// a name, its figures and states, and where it is drawn. Each window fills it from what it
// already lays out; the UI Automation provider only translates it, and the events it raises
// are the differences between two trees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"

namespace lumetta {

enum class A11yRole : std::uint32_t {
  Text = 0,      // a section or a line of text; what a reader says is all in its name
  Button = 1,    // invoked, or, with a toggled state, toggled only
  Link = 2,      // invoked, opens a page
  CheckBox = 3,  // a switch: toggled
  List = 4,      // a choice of one of its items
  ListItem = 5,  // selected
  Slider = 6,    // a value in a range, moved in steps
};

struct A11yRange {
  double value = 0;
  double minimum = 0;
  double maximum = 0;
  double step = 0;
  friend bool operator==(const A11yRange&, const A11yRange&) = default;
};

struct A11yNode {
  std::uint32_t id = 0;      // > 0, unique in its window and stable while the element shows
  std::uint32_t parent = 0;  // 0: the window itself
  A11yRole role = A11yRole::Text;
  std::u16string name;
  std::u16string value;  // read-only text of a control that has a value, empty for none
  RectF bounds;          // window DIPs
  bool enabled = true;
  bool focusable = false;
  bool offscreen = false;          // scrolled out of view
  bool live = false;               // a notice: spoken when it appears or changes
  std::optional<bool> toggled;     // switches and the pin button
  bool selected = false;           // list items
  std::optional<A11yRange> range;  // sliders

  friend bool operator==(const A11yNode&, const A11yNode&) = default;
};

class A11yTree {
 public:
  // Parents come before their children; siblings in reading order.
  std::vector<A11yNode> nodes;
  std::uint32_t focused = 0;  // the element with the keyboard focus, 0 for none

  [[nodiscard]] const A11yNode* Find(std::uint32_t id) const;
  // Navigation, 0 where there is nothing; `id` 0 is the window.
  [[nodiscard]] std::uint32_t Parent(std::uint32_t id) const;
  [[nodiscard]] std::uint32_t FirstChild(std::uint32_t id) const;
  [[nodiscard]] std::uint32_t LastChild(std::uint32_t id) const;
  [[nodiscard]] std::uint32_t NextSibling(std::uint32_t id) const;
  [[nodiscard]] std::uint32_t PreviousSibling(std::uint32_t id) const;
  // The innermost element drawn at `point` (DIPs), 0 for none.
  [[nodiscard]] std::uint32_t ElementAt(PointF point) const;
  // The selected items of a list.
  [[nodiscard]] std::vector<std::uint32_t> Selection(std::uint32_t list) const;

  // Adds a node and returns it for its states to be set.
  A11yNode& Add(std::uint32_t id, std::uint32_t parent, A11yRole role, std::u16string name,
                RectF bounds);
};

// What changed between two trees of a window, as a screen reader would be told.
enum class A11yChangeKind : std::uint32_t {
  Focus = 0,      // the keyboard focus moved to the element
  Toggled = 1,    // on or off
  Selected = 2,   // the item became the list's selection
  Value = 3,      // the slider's value
  Structure = 4,  // elements appeared or went: the window's children are read anew
  Name = 5,       // what it says, such as a section's figures
  Enabled = 6,    // usable, or dimmed
  Offscreen = 7,  // scrolled into or out of view
  Announce = 8,   // a notice appeared or changed: a reader speaks it unasked
};
struct A11yChange {
  A11yChangeKind kind;
  std::uint32_t id;
  friend bool operator==(const A11yChange&, const A11yChange&) = default;
};
[[nodiscard]] std::vector<A11yChange> A11yChanges(const A11yTree& before, const A11yTree& after);

// What an assistive technology asks a window to do.
enum class A11yVerb : std::uint32_t {
  Invoke = 0,
  Toggle = 1,
  Select = 2,
  SetValue = 3,
  Focus = 4,
  ScrollIntoView = 5,
};
struct A11yRequest {
  A11yVerb verb;
  std::uint32_t id;
  double value = 0;  // SetValue
};
enum class A11yOutcome : std::uint32_t {
  Done = 0,
  NotSupported = 1,  // the element cannot do that
  Disabled = 2,      // it can, but not now
  OutOfRange = 3,    // a value it cannot take
};
// "a, b, c" with the language's separator, leaving out empty parts.
[[nodiscard]] std::u16string JoinFigures(const std::vector<std::u16string>& parts,
                                         std::u16string_view separator);

}  // namespace lumetta
