#include "window/accessibility.h"

namespace lumetta {
namespace {

bool Contains(const RectF& rect, PointF point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

}  // namespace

A11yNode& A11yTree::Add(std::uint32_t id, std::uint32_t parent, A11yRole role, std::u16string name,
                        RectF bounds) {
  A11yNode& node = nodes.emplace_back();
  node.id = id;
  node.parent = parent;
  node.role = role;
  node.name = std::move(name);
  node.bounds = bounds;
  return node;
}

const A11yNode* A11yTree::Find(std::uint32_t id) const {
  for (const A11yNode& node : nodes) {
    if (node.id == id) {
      return &node;
    }
  }
  return nullptr;
}

std::uint32_t A11yTree::Parent(std::uint32_t id) const {
  const A11yNode* node = Find(id);
  return node != nullptr ? node->parent : 0;
}

std::uint32_t A11yTree::FirstChild(std::uint32_t id) const {
  for (const A11yNode& node : nodes) {
    if (node.parent == id) {
      return node.id;
    }
  }
  return 0;
}

std::uint32_t A11yTree::LastChild(std::uint32_t id) const {
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    if (node->parent == id) {
      return node->id;
    }
  }
  return 0;
}

std::uint32_t A11yTree::NextSibling(std::uint32_t id) const {
  const A11yNode* self = Find(id);
  if (self == nullptr) {
    return 0;
  }
  for (auto node = nodes.begin() + (self - nodes.data()) + 1; node != nodes.end(); ++node) {
    if (node->parent == self->parent) {
      return node->id;
    }
  }
  return 0;
}

std::uint32_t A11yTree::PreviousSibling(std::uint32_t id) const {
  const A11yNode* self = Find(id);
  if (self == nullptr) {
    return 0;
  }
  for (auto node = std::make_reverse_iterator(nodes.begin() + (self - nodes.data()));
       node != nodes.rend(); ++node) {
    if (node->parent == self->parent) {
      return node->id;
    }
  }
  return 0;
}

std::uint32_t A11yTree::ElementAt(PointF point) const {
  // Children follow their parents, so the last hit is the innermost one.
  std::uint32_t hit = 0;
  for (const A11yNode& node : nodes) {
    if (!node.offscreen && Contains(node.bounds, point)) {
      hit = node.id;
    }
  }
  return hit;
}

std::vector<std::uint32_t> A11yTree::Selection(std::uint32_t list) const {
  std::vector<std::uint32_t> selected;
  for (const A11yNode& node : nodes) {
    if (node.parent == list && node.selected) {
      selected.push_back(node.id);
    }
  }
  return selected;
}

std::vector<A11yChange> A11yChanges(const A11yTree& before, const A11yTree& after) {
  std::vector<A11yChange> changes;
  std::vector<A11yChange> announcements;  // after the structure, so that the notice is found
  bool structure = before.nodes.size() != after.nodes.size();
  for (std::size_t i = 0; i < after.nodes.size(); ++i) {
    const A11yNode& now = after.nodes[i];
    const A11yNode* was = before.Find(now.id);
    if (now.live && (was == nullptr || was->name != now.name)) {
      announcements.push_back({A11yChangeKind::Announce, now.id});
    }
    if (was == nullptr) {
      structure = true;
      continue;
    }
    structure = structure || before.nodes[i].id != now.id;
    if (was->toggled != now.toggled && now.toggled.has_value()) {
      changes.push_back({A11yChangeKind::Toggled, now.id});
    }
    if (now.selected && !was->selected) {
      changes.push_back({A11yChangeKind::Selected, now.id});
    }
    if (was->range && now.range && was->range->value != now.range->value) {
      changes.push_back({A11yChangeKind::Value, now.id});
    }
    if (was->name != now.name) {
      changes.push_back({A11yChangeKind::Name, now.id});
    }
    if (was->enabled != now.enabled) {
      changes.push_back({A11yChangeKind::Enabled, now.id});
    }
    if (was->offscreen != now.offscreen) {
      changes.push_back({A11yChangeKind::Offscreen, now.id});
    }
  }
  if (structure) {
    changes.push_back({A11yChangeKind::Structure, 0});
  }
  changes.insert(changes.end(), announcements.begin(), announcements.end());
  // Last, so that a reader announces the focused element in its new state.
  if (after.focused != before.focused && after.focused != 0 && after.Find(after.focused)) {
    changes.push_back({A11yChangeKind::Focus, after.focused});
  }
  return changes;
}

std::u16string JoinFigures(const std::vector<std::u16string>& parts,
                           std::u16string_view separator) {
  std::u16string joined;
  for (const std::u16string& part : parts) {
    if (part.empty()) {
      continue;
    }
    if (!joined.empty()) {
      joined += separator;
    }
    joined += part;
  }
  return joined;
}

}  // namespace lumetta
