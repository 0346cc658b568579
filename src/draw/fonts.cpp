#include "draw/fonts.h"

#include <array>
#include <cmath>

namespace lumetta {

const TextStyleFont& StyleFont(TextStyle style) {
  static constexpr std::array<TextStyleFont, kTextStyleCount> kStyles{{
      {FontRole::Text, 10, 400},
      {FontRole::Text, 11, 400},
      {FontRole::Text, 11, 600},
      {FontRole::Text, 13, 400},
      {FontRole::Display, 16, 600},
      {FontRole::Display, 20, 600},
      {FontRole::Display, 24, 600},
      {FontRole::Icons, 12, 400},
      {FontRole::Icons, 9, 400},
  }};
  return kStyles[static_cast<std::size_t>(style)];
}

std::u16string_view FontFamilies::For(FontRole role) const {
  switch (role) {
    case FontRole::Display:
      return display;
    case FontRole::Icons:
      return icons.empty() ? kFallbackFamily : icons;
    case FontRole::Text:
      break;
  }
  return text;
}

FontFamilies ChooseFontFamilies(const std::function<bool(std::u16string_view)>& installed) {
  FontFamilies families{kFallbackFamily, kFallbackFamily, {}};
  if (installed(kVariableTextFamily)) {
    families.text = kVariableTextFamily;
  }
  if (installed(kVariableDisplayFamily)) {
    families.display = kVariableDisplayFamily;
  }
  if (installed(kFluentIconsFamily)) {
    families.icons = kFluentIconsFamily;
  } else if (installed(kMdl2IconsFamily)) {
    families.icons = kMdl2IconsFamily;
  }
  return families;
}

int TextFormatSlot(TextStyle style, TextAlign align, bool wrap) {
  return (static_cast<int>(style) * 3 + static_cast<int>(align)) * 2 + (wrap ? 1 : 0);
}

namespace {
GlyphParts Parts(std::initializer_list<ShapePart> parts) {
  GlyphParts list;
  for (const ShapePart& part : parts) {
    list.push_back(part);
  }
  return list;
}
}  // namespace

GlyphParts GlyphShape(Glyph glyph, const RectF& box) {
  const float s = box.width() < box.height() ? box.width() : box.height();
  const float left = box.left + (box.width() - s) / 2;
  const float top = box.top + (box.height() - s) / 2;
  // Points in a unit square scaled to the box.
  const auto at = [&](float x, float y) { return PointF{left + x * s, top + y * s}; };
  const float stroke = s * 0.12f;
  const auto line = [&](PointF a, PointF b) {
    return ShapePart{ShapePart::Kind::Line, a, b, {}, 0, stroke};
  };
  const auto triangle = [&](PointF a, PointF b, PointF c) {
    return ShapePart{ShapePart::Kind::Triangle, a, b, c, 0, 0};
  };
  const auto ring = [&](PointF centre, float radius) {
    return ShapePart{ShapePart::Kind::Ring, centre, {}, {}, radius, stroke};
  };
  const auto dot = [&](PointF centre, float radius) {
    return ShapePart{ShapePart::Kind::Dot, centre, {}, {}, radius, 0};
  };
  switch (glyph) {
    case Glyph::Settings: {
      // A ring with eight teeth.
      GlyphParts gear = Parts({ring(at(0.5f, 0.5f), s * 0.26f)});
      for (int i = 0; i < 8; ++i) {
        const float angle = static_cast<float>(i) * 0.785398f;
        const float dx = std::cos(angle);
        const float dy = std::sin(angle);
        gear.push_back(line(at(0.5f + 0.32f * dx, 0.5f + 0.32f * dy),
                            at(0.5f + 0.48f * dx, 0.5f + 0.48f * dy)));
      }
      return gear;
    }
    case Glyph::Pinned:
      return Parts({dot(at(0.5f, 0.3f), s * 0.25f), line(at(0.5f, 0.5f), at(0.5f, 1.0f))});
    case Glyph::Unpinned:
      return Parts({ring(at(0.5f, 0.3f), s * 0.22f), line(at(0.5f, 0.55f), at(0.5f, 1.0f))});
    case Glyph::Warning:
      return Parts({line(at(0.5f, 0.05f), at(0.97f, 0.92f)),
                    line(at(0.97f, 0.92f), at(0.03f, 0.92f)),
                    line(at(0.03f, 0.92f), at(0.5f, 0.05f)), line(at(0.5f, 0.35f), at(0.5f, 0.62f)),
                    dot(at(0.5f, 0.77f), stroke * 0.7f)});
    case Glyph::OpenExternal:
      return Parts({line(at(0.1f, 0.3f), at(0.1f, 0.9f)), line(at(0.1f, 0.9f), at(0.7f, 0.9f)),
                    line(at(0.7f, 0.9f), at(0.7f, 0.6f)), line(at(0.4f, 0.6f), at(0.9f, 0.1f)),
                    line(at(0.55f, 0.1f), at(0.9f, 0.1f)), line(at(0.9f, 0.1f), at(0.9f, 0.45f))});
    case Glyph::Down:
      return Parts({triangle(at(0.1f, 0.3f), at(0.9f, 0.3f), at(0.5f, 0.8f))});
    case Glyph::Up:
      return Parts({triangle(at(0.1f, 0.7f), at(0.9f, 0.7f), at(0.5f, 0.2f))});
  }
  return {};
}

std::optional<float> TextWidthCache::find(TextStyle style, std::u16string_view text) const {
  for (std::size_t i = 0; i < size_; ++i) {
    const Entry& entry = entries_[i];
    if (entry.style == style && std::u16string_view(entry.text.data(), entry.length) == text) {
      return entry.width;
    }
  }
  return std::nullopt;
}

void TextWidthCache::MakeRoom() {
  if (size_ >= kMaxEntries) {
    size_ = 0;
  }
}

void TextWidthCache::Store(TextStyle style, std::u16string_view text, float width) {
  if (text.size() > kMaxTextLength || size_ >= kMaxEntries) {
    return;
  }
  Entry& entry = entries_[size_++];
  entry.style = style;
  entry.length = text.copy(entry.text.data(), kMaxTextLength);
  entry.width = width;
}

}  // namespace lumetta
