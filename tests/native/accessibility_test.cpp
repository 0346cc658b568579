#include "window/accessibility.h"

#include <gtest/gtest.h>

namespace lumetta {
namespace {

// A list with two items and a slider: enough to walk every direction.
A11yTree Sample() {
  A11yTree tree;
  tree.Add(1, 0, A11yRole::Text, u"header", {0, 0, 100, 20});
  tree.Add(2, 0, A11yRole::List, u"scale", {0, 20, 100, 60});
  tree.Add(21, 2, A11yRole::ListItem, u"100%", {0, 40, 50, 60}).selected = true;
  tree.Add(22, 2, A11yRole::ListItem, u"125%", {50, 40, 100, 60});
  tree.Add(3, 0, A11yRole::Slider, u"alert", {0, 60, 100, 80}).range = A11yRange{85, 50, 95, 5};
  return tree;
}

TEST(A11yTree, NavigationHitTestingAndSelection) {
  const A11yTree tree = Sample();
  // Walked forwards and backwards, siblings pass over the list's items.
  std::vector<std::uint32_t> forward, backward;
  for (std::uint32_t id = tree.FirstChild(0); id != 0; id = tree.NextSibling(id)) {
    forward.push_back(id);
    for (std::uint32_t item = tree.FirstChild(id); item != 0; item = tree.NextSibling(item)) {
      forward.push_back(item);
    }
  }
  for (std::uint32_t id = tree.LastChild(0); id != 0; id = tree.PreviousSibling(id)) {
    backward.push_back(id);
    for (std::uint32_t item = tree.LastChild(id); item != 0; item = tree.PreviousSibling(item)) {
      backward.push_back(item);
    }
  }
  EXPECT_EQ(forward, (std::vector<std::uint32_t>{1, 2, 21, 22, 3}));
  EXPECT_EQ(backward, (std::vector<std::uint32_t>{3, 2, 22, 21, 1}));
  EXPECT_EQ(tree.Parent(22), 2u);
  EXPECT_EQ(tree.NextSibling(99) + tree.PreviousSibling(99), 0u);

  EXPECT_EQ(tree.ElementAt({60, 50}), 22u);  // the innermost element
  EXPECT_EQ(tree.ElementAt({60, 30}), 2u);
  EXPECT_EQ(tree.ElementAt({100, 10}), 0u);  // right edges are outside, left ones inside
  EXPECT_EQ(tree.ElementAt({0, 0}), 1u);
  A11yTree scrolled = tree;
  scrolled.nodes[4].offscreen = true;
  EXPECT_EQ(scrolled.ElementAt({10, 70}), 0u);

  EXPECT_EQ(tree.Selection(2), std::vector<std::uint32_t>{21});
}

TEST(A11yChanges, WhatAReaderIsToldAndInWhichOrder) {
  const A11yTree before = Sample();
  EXPECT_TRUE(A11yChanges(before, before).empty());

  A11yTree after = before;
  after.nodes[0].toggled = true;
  after.nodes[2].selected = false;
  after.nodes[3].selected = true;
  after.nodes[4].range->value = 90;
  after.focused = 3;
  EXPECT_EQ(A11yChanges(before, after), (std::vector<A11yChange>{{A11yChangeKind::Toggled, 1},
                                                                 {A11yChangeKind::Selected, 22},
                                                                 {A11yChangeKind::Value, 3},
                                                                 {A11yChangeKind::Focus, 3}}));

  A11yTree grown = before;
  grown.Add(4, 0, A11yRole::CheckBox, u"snap", {}).toggled = true;
  grown.nodes[0].name = u"renamed";  // a name alone is read when asked
  EXPECT_EQ(A11yChanges(before, grown), (std::vector<A11yChange>{{A11yChangeKind::Structure, 0}}));
  EXPECT_TRUE(A11yChanges(grown, grown).empty());
  A11yTree toggled = grown;
  toggled.nodes[5].toggled = false;
  toggled.focused = 77;  // gone: nothing to announce
  EXPECT_EQ(A11yChanges(grown, toggled), (std::vector<A11yChange>{{A11yChangeKind::Toggled, 4}}));

  A11yTree reordered = before;
  std::swap(reordered.nodes[0], reordered.nodes[4]);
  EXPECT_EQ(A11yChanges(before, reordered),
            (std::vector<A11yChange>{{A11yChangeKind::Structure, 0}}));
}

}  // namespace
}  // namespace lumetta
