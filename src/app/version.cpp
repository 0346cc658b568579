#include "app/version.h"

namespace lumetta {

std::u16string ProductVersionFrom(const VersionInfo& info) {
  return info.productVersion.value_or(u"0");
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
