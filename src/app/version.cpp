#include "app/version.h"

namespace lumetta {

std::optional<std::u16string> ProductVersionFrom(const VersionInfo& info) {
  return info.productVersion;
}

std::u16string DisplayVersionFrom(const VersionInfo& info) {
  if (!info.productVersion) {
    return u"?";
  }
  if (!info.buildNumber) {
    return *info.productVersion;
  }
  return *info.productVersion + u" (" + *info.buildNumber + u")";
}

}  // namespace lumetta
