// Throughput of the interface that carries internet traffic, and the Wi-Fi details that
// name the connection, queried in the background.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/background_job.h"
#include "app/log.h"

namespace lumetta {

using InterfaceGuid = std::array<std::uint8_t, 16>;

inline constexpr std::uint32_t kIfTypeIeee80211 = 71;
inline constexpr std::uint64_t kInterfaceLookupInterval = 300'000'000;  // 30 s
inline constexpr std::uint64_t kWifiQueryInterval = 300'000'000;        // 30 s
inline constexpr std::uint32_t kErrorInvalidState = 5023;  // the interface is not connected
inline constexpr std::size_t kMaxSsidBytes = 32;
inline constexpr std::u16string_view kLabelSeparator = u" \u00B7 ";

struct InterfaceRow {
  std::u16string alias;  // reused between reads
  InterfaceGuid guid{};
  std::uint32_t type = 0;
  std::uint64_t inOctets = 0;
  std::uint64_t outOctets = 0;
};

class NetworkSource {
 public:
  virtual ~NetworkSource() = default;
  // The interface that routes to the internet (no traffic is sent); 0 or an error code.
  virtual std::uint32_t BestInterface(std::uint32_t* index) = 0;
  // The interface's counters and identity; 0 or an error code.
  virtual std::uint32_t ReadInterface(std::uint32_t index, InterfaceRow& row) = 0;
};

struct NetworkReading {
  double receive = 0;  // bytes per second
  double send = 0;
  bool ratesValid = false;
  const InterfaceRow* row = nullptr;  // alias, GUID and type of the interface read
  bool valid = false;

  [[nodiscard]] bool Wireless() const { return row != nullptr && row->type == kIfTypeIeee80211; }
};

// Bytes per second; 0 for a counter that went back (adapter reset) or no time at all.
[[nodiscard]] double Rate(std::uint64_t previous, std::uint64_t current, double seconds);

class NetworkCollector {
 public:
  explicit NetworkCollector(NetworkSource& source) : source_(source) {}
  NetworkReading Collect(std::uint64_t now);

 private:
  NetworkSource& source_;
  std::uint32_t interfaceIndex_ = 0;
  bool hasInterface_ = false;
  std::uint64_t lastLookup_ = 0;
  std::uint64_t previousIn_ = 0;
  std::uint64_t previousOut_ = 0;
  std::uint64_t previousTime_ = 0;
  bool hasPreviousCounters_ = false;
  InterfaceRow row_;
  FailureLatch lookupLatch_;
  FailureLatch entryLatch_;
};

// "Wi-Fi 4" to "Wi-Fi 7" for the 802.11 generations that have one; empty otherwise.
[[nodiscard]] std::u16string_view WifiGenerationName(std::uint32_t phyType);

struct WifiConnection {
  std::uint32_t phyType = 0;
  std::array<std::uint8_t, kMaxSsidBytes> ssid{};
  std::uint32_t ssidLength = 0;  // as reported; may exceed the 32 bytes an SSID can have
};

// The thread pool and the WLAN service, for the background query.
class WifiPlatform : public JobPlatform {
 public:
  // On the worker: the current connection of the interface (opening the WLAN client on
  // first use). 0 with or without a connection, kErrorInvalidState, or an error code.
  virtual std::uint32_t QueryConnection(const InterfaceGuid& guid,
                                        std::optional<WifiConnection>* connection) = 0;
  virtual void CloseClient() = 0;
};

struct WifiResult {
  InterfaceGuid interfaceGuid{};
  std::optional<std::uint32_t> phyType;
  std::optional<std::u16string> ssid;
  bool ready = false;  // a query has completed
};

class WifiQuery {
 public:
  explicit WifiQuery(WifiPlatform& platform);
  ~WifiQuery() { Shutdown(); }
  WifiQuery(const WifiQuery&) = delete;
  WifiQuery& operator=(const WifiQuery&) = delete;

  // Starts a query unless one is still outstanding.
  void Submit(const InterfaceGuid& guid);
  // Copies the last completed result into `out` (reusing its storage); false before the
  // first query has completed.
  [[nodiscard]] bool Take(WifiResult& out);
  // Waits for a running query and releases the work item and the WLAN client.
  void Shutdown();

 private:
  void Run();

  WifiPlatform& platform_;
  BackgroundJob job_;
  bool closed_ = false;
  std::mutex mutex_;
  InterfaceGuid request_{};
  WifiResult result_;
  FailureLatch wifiLatch_;  // used by the worker only
};

}  // namespace lumetta
