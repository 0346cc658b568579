#include "metrics/network.h"

#include <algorithm>

#include "text/utf.h"

namespace lumetta {

double Rate(std::uint64_t previous, std::uint64_t current, double seconds) {
  if (seconds <= 0 || current < previous) {
    return 0;
  }
  return static_cast<double>(current - previous) / seconds;
}

NetworkReading NetworkCollector::Collect(std::uint64_t now) {
  if (!hasInterface_ || now - lastLookup_ >= kInterfaceLookupInterval) {
    std::uint32_t index = 0;
    const std::uint32_t status = source_.BestInterface(&index);
    lastLookup_ = now;
    if (status != 0) {
      ReportFailure(lookupLatch_, "network", "best_interface_failed", status);
      hasInterface_ = false;
      hasPreviousCounters_ = false;
      return {};
    }
    if (TakeRecovered(lookupLatch_)) {
      LogEvent(kInfo, "network", "recovered");
    }
    if (!hasInterface_ || index != interfaceIndex_) {
      if (hasInterface_) {
        LogEvent(kInfo, "network", "interface_changed", "index=" + std::to_string(index));
      }
      interfaceIndex_ = index;
      hasInterface_ = true;
      hasPreviousCounters_ = false;
    }
  }
  if (const std::uint32_t status = source_.ReadInterface(interfaceIndex_, row_); status != 0) {
    ReportFailure(entryLatch_, "network", "if_entry_failed", status);
    hasInterface_ = false;
    hasPreviousCounters_ = false;
    return {};
  }
  if (TakeRecovered(entryLatch_)) {
    LogEvent(kInfo, "network", "recovered");
  }
  NetworkReading reading;
  reading.row = &row_;
  reading.valid = true;
  if (hasPreviousCounters_) {
    const double seconds = static_cast<double>(now - previousTime_) / 1e7;
    reading.receive = Rate(previousIn_, row_.inOctets, seconds);
    reading.send = Rate(previousOut_, row_.outOctets, seconds);
    reading.ratesValid = true;
  }
  previousIn_ = row_.inOctets;
  previousOut_ = row_.outOctets;
  previousTime_ = now;
  hasPreviousCounters_ = true;
  return reading;
}

std::u16string_view WifiGenerationName(std::uint32_t phyType) {
  switch (phyType) {
    case 7:
      return u"Wi-Fi 4";
    case 8:
      return u"Wi-Fi 5";
    case 10:
      return u"Wi-Fi 6";
    case 11:
      return u"Wi-Fi 7";
    default:
      return {};
  }
}

WifiQuery::WifiQuery(WifiPlatform& platform)
    : platform_(platform), job_(platform, "wifi", [this] { Run(); }) {}

void WifiQuery::Shutdown() {
  if (!closed_) {
    job_.Close();
    platform_.CloseClient();
    closed_ = true;
  }
}

void WifiQuery::Submit(const InterfaceGuid& guid) {
  {
    // A run still outstanding copied its request at its start.
    std::lock_guard lock(mutex_);
    request_ = guid;
  }
  job_.Submit();
}

bool WifiQuery::Take(WifiResult& out) {
  std::lock_guard lock(mutex_);
  if (!result_.ready) {
    return false;
  }
  out = result_;
  return true;
}

void WifiQuery::Run() {
  InterfaceGuid guid;
  {
    std::lock_guard lock(mutex_);
    guid = request_;
  }
  std::optional<WifiConnection> connection;
  const std::uint32_t status = platform_.QueryConnection(guid, &connection);
  std::optional<std::uint32_t> phyType;
  std::optional<std::u16string> ssid;
  if (status == 0 && connection) {
    phyType = connection->phyType;
    const std::size_t length = std::min<std::size_t>(connection->ssidLength, kMaxSsidBytes);
    if (length > 0) {
      ssid = FromUtf8(
          std::string_view(reinterpret_cast<const char*>(connection->ssid.data()), length));
    }
  }
  if (status != 0 && status != kErrorInvalidState) {
    ReportFailure(wifiLatch_, "wifi", "query_failed", status);
  } else if (TakeRecovered(wifiLatch_)) {
    LogEvent(kInfo, "wifi", "recovered");
  }
  {
    std::lock_guard lock(mutex_);
    result_.interfaceGuid = guid;
    result_.phyType = phyType;
    result_.ssid = std::move(ssid);
    result_.ready = true;
  }
  job_.Finish();
}

}  // namespace lumetta
