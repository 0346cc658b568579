#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <iphlpapi.h>
#include <netioapi.h>
#include <wlanapi.h>

#include <cstring>

#include "base/owner_win.h"
#include "base/pool_work_win.h"
#include "base/wide.h"
#include "metrics/sources_win.h"

namespace lumetta {
namespace {

static_assert(sizeof(GUID) == sizeof(InterfaceGuid));

class IpHelperNetwork final : public NetworkSource {
 public:
  std::uint32_t BestInterface(std::uint32_t* index) override {
    // The route toward a public address names the interface that carries internet traffic;
    // looking it up sends nothing.
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.S_un.S_un_b = {8, 8, 8, 8};
    DWORD chosen = 0;
    const DWORD status = GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&destination), &chosen);
    *index = chosen;
    return status;
  }

  std::uint32_t ReadInterface(std::uint32_t index, InterfaceRow& row) override {
    MIB_IF_ROW2 entry{};
    entry.InterfaceIndex = index;
    const DWORD status = GetIfEntry2(&entry);
    if (status != NO_ERROR) {
      return status;
    }
    entry.Alias[IF_MAX_STRING_SIZE] = L'\0';
    row.alias.assign(AsU16(entry.Alias));
    std::memcpy(row.guid.data(), &entry.InterfaceGuid, row.guid.size());
    row.type = entry.Type;
    row.inOctets = entry.InOctets;
    row.outOctets = entry.OutOctets;
    return NO_ERROR;
  }
};

// The WLAN client handle; WlanCloseHandle takes a reserved second argument.
struct WlanClientTraits {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { WlanCloseHandle(handle, nullptr); }
};

class PoolWifi final : public PoolJob<WifiPlatform> {
 public:
  using PoolJob::PoolJob;
  ~PoolWifi() override {
    CloseWork();
    CloseClient();
  }
  PoolWifi(const PoolWifi&) = delete;
  PoolWifi& operator=(const PoolWifi&) = delete;

  std::uint32_t QueryConnection(const InterfaceGuid& guid,
                                std::optional<WifiConnection>* connection) override {
    if (!client_) {
      DWORD negotiated = 0;
      if (const DWORD status = WlanOpenHandle(2, nullptr, &negotiated, client_.put());
          status != ERROR_SUCCESS) {
        client_.reset();
        return status;
      }
    }
    GUID interfaceGuid;
    std::memcpy(&interfaceGuid, guid.data(), sizeof interfaceGuid);
    DWORD size = 0;
    void* data = nullptr;
    WLAN_OPCODE_VALUE_TYPE valueType{};
    const DWORD status =
        WlanQueryInterface(client_.get(), &interfaceGuid, wlan_intf_opcode_current_connection,
                           nullptr, &size, &data, &valueType);
    if (status != ERROR_SUCCESS) {
      return status;
    }
    if (data != nullptr) {
      const auto* attributes = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(data);
      const WLAN_ASSOCIATION_ATTRIBUTES& association = attributes->wlanAssociationAttributes;
      WifiConnection result;
      result.phyType = static_cast<std::uint32_t>(association.dot11PhyType);
      result.ssidLength = association.dot11Ssid.uSSIDLength;
      std::memcpy(result.ssid.data(), association.dot11Ssid.ucSSID, result.ssid.size());
      *connection = result;
      WlanFreeMemory(data);
    }
    return ERROR_SUCCESS;
  }

  void CloseClient() override { client_.reset(); }

 private:
  // Touched by the worker and, after it has finished, by CloseClient.
  UniqueOwner<WlanClientTraits> client_;
};

}  // namespace

std::unique_ptr<NetworkSource> MakeWin32Network() {
  return std::make_unique<IpHelperNetwork>();
}

std::unique_ptr<WifiPlatform> MakeWin32Wifi(HWND window, UINT message) {
  return std::make_unique<PoolWifi>(window, message);
}

}  // namespace lumetta
