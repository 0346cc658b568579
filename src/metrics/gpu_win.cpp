#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "base/wide.h"
#include "metrics/sources_win.h"

namespace lumetta {
namespace {

// Declared locally: the MinGW headers have no d3dkmthk.h.
// NOLINTBEGIN(readability-identifier-naming): Windows' own names.
namespace w32 {
using D3DKMT_HANDLE = UINT;

struct D3DKMT_ADAPTERINFO {
  D3DKMT_HANDLE hAdapter;
  LUID AdapterLuid;
  ULONG NumOfSources;
  BOOL bPrecisePresentRegionsPreferred;
};
struct D3DKMT_ENUMADAPTERS2 {
  ULONG NumAdapters;
  D3DKMT_ADAPTERINFO* pAdapters;
};
enum KMTQUERYADAPTERINFOTYPE : int {
  KMTQAITYPE_ADAPTERREGISTRYINFO = 8,
  KMTQAITYPE_ADAPTERTYPE = 15,
  KMTQAITYPE_ADAPTERPERFDATA = 62,
};
struct D3DKMT_QUERYADAPTERINFO {
  D3DKMT_HANDLE hAdapter;
  KMTQUERYADAPTERINFOTYPE Type;
  void* pPrivateDriverData;
  UINT PrivateDriverDataSize;
};
struct D3DKMT_CLOSEADAPTER {
  D3DKMT_HANDLE hAdapter;
};
struct D3DKMT_OPENADAPTERFROMLUID {
  LUID AdapterLuid;
  D3DKMT_HANDLE hAdapter;
};
struct D3DKMT_ADAPTER_PERFDATA {
  UINT32 PhysicalAdapterIndex;
  ULONGLONG MemoryFrequency;
  ULONGLONG MaxMemoryFrequency;
  ULONGLONG MaxMemoryFrequencyOC;
  ULONGLONG MemoryBandwidth;
  ULONGLONG PCIEBandwidth;
  ULONG FanRPM;
  ULONG Power;
  ULONG Temperature;  // tenths of a degree Celsius
  UCHAR PowerStateOverride;
};
struct D3DKMT_ADAPTERREGISTRYINFO {
  WCHAR AdapterString[MAX_PATH];
  WCHAR BiosString[MAX_PATH];
  WCHAR DacType[MAX_PATH];
  WCHAR ChipType[MAX_PATH];
};
enum D3DKMT_QUERYSTATISTICS_TYPE : int {
  D3DKMT_QUERYSTATISTICS_ADAPTER = 0,
  D3DKMT_QUERYSTATISTICS_SEGMENT = 3,
  D3DKMT_QUERYSTATISTICS_NODE = 5,
};
// Only the fields read here are named; the rest is padding of the right size.
struct D3DKMT_QUERYSTATISTICS_ADAPTER_INFORMATION {
  ULONG NbSegments;
  ULONG NodeCount;
  ULONG VidPnSourceCount;
  ULONG VSyncEnabled;
  ULONG TdrDetectedCount;
  LONGLONG ZeroLengthDmaBuffers;
  ULONGLONG RestartedPeriod;
  ULONGLONG opaque[92];
};
struct D3DKMT_QUERYSTATISTICS_PROCESS_NODE_INFORMATION {
  LARGE_INTEGER RunningTime;
  ULONG ContextSwitch;
  ULONG PreemptionCounter[16];
  ULONG QueuePacket[8][2];
  ULONG DmaPacket[4][4];
  ULONG64 Reserved[8];
};
struct D3DKMT_QUERYSTATISTICS_NODE_INFORMATION {
  D3DKMT_QUERYSTATISTICS_PROCESS_NODE_INFORMATION GlobalInformation;
  D3DKMT_QUERYSTATISTICS_PROCESS_NODE_INFORMATION SystemInformation;
  ULONG64 Reserved[8];
};
struct D3DKMT_QUERYSTATISTICS_MEMORY {
  ULONGLONG TotalBytesEvicted;
  ULONG AllocsCommitted;
  ULONG AllocsResident;
};
// Its leading fields; the rest stays within the result union.
struct D3DKMT_QUERYSTATISTICS_SEGMENT_INFORMATION {
  ULONGLONG CommitLimit;
  ULONGLONG BytesCommitted;
  ULONGLONG BytesResident;
  D3DKMT_QUERYSTATISTICS_MEMORY Memory;
  ULONG Aperture;
};
union D3DKMT_QUERYSTATISTICS_RESULT {
  D3DKMT_QUERYSTATISTICS_ADAPTER_INFORMATION AdapterInformation;
  D3DKMT_QUERYSTATISTICS_SEGMENT_INFORMATION SegmentInformation;
  D3DKMT_QUERYSTATISTICS_NODE_INFORMATION NodeInformation;
};
struct D3DKMT_QUERYSTATISTICS {
  D3DKMT_QUERYSTATISTICS_TYPE Type;
  LUID AdapterLuid;
  HANDLE hProcess;
  D3DKMT_QUERYSTATISTICS_RESULT QueryResult;
  ULONG QueryId;  // the trailing union: QuerySegment's SegmentId or QueryNode's NodeId
};

using PFN_EnumAdapters2 = NTSTATUS(APIENTRY*)(D3DKMT_ENUMADAPTERS2*);
using PFN_QueryAdapterInfo = NTSTATUS(APIENTRY*)(D3DKMT_QUERYADAPTERINFO*);
using PFN_CloseAdapter = NTSTATUS(APIENTRY*)(const D3DKMT_CLOSEADAPTER*);
using PFN_QueryStatistics = NTSTATUS(APIENTRY*)(D3DKMT_QUERYSTATISTICS*);
using PFN_OpenAdapterFromLuid = NTSTATUS(APIENTRY*)(D3DKMT_OPENADAPTERFROMLUID*);
}  // namespace w32
// NOLINTEND(readability-identifier-naming)

static_assert(sizeof(w32::D3DKMT_ADAPTERINFO) == 20);
static_assert(sizeof(w32::D3DKMT_ENUMADAPTERS2) == 16);
static_assert(sizeof(w32::D3DKMT_QUERYADAPTERINFO) == 24);
static_assert(sizeof(w32::D3DKMT_ADAPTERREGISTRYINFO) == 2080);
static_assert(sizeof(w32::D3DKMT_QUERYSTATISTICS) == 808);
static_assert(offsetof(w32::D3DKMT_QUERYSTATISTICS, QueryResult) == 24);
static_assert(offsetof(w32::D3DKMT_QUERYSTATISTICS, QueryId) == 800);
static_assert(sizeof(w32::D3DKMT_OPENADAPTERFROMLUID) == 12);
static_assert(offsetof(w32::D3DKMT_OPENADAPTERFROMLUID, hAdapter) == 8);
static_assert(sizeof(w32::D3DKMT_ADAPTER_PERFDATA) == 64);
static_assert(offsetof(w32::D3DKMT_ADAPTER_PERFDATA, MemoryFrequency) == 8);
static_assert(offsetof(w32::D3DKMT_ADAPTER_PERFDATA, Temperature) == 56);
static_assert(offsetof(w32::D3DKMT_QUERYSTATISTICS_SEGMENT_INFORMATION, BytesResident) == 16);
static_assert(offsetof(w32::D3DKMT_QUERYSTATISTICS_SEGMENT_INFORMATION, Aperture) == 40);

// The status a missing export stands for: STATUS_PROCEDURE_NOT_FOUND. Wine and older Windows
// builds lack some of these functions; the enumeration then fails like a failing call.
constexpr NTSTATUS kMissingFunction = static_cast<NTSTATUS>(0xC000007A);

std::uint64_t LuidValue(const LUID& luid) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(luid.HighPart)) << 32) |
         luid.LowPart;
}

LUID ToLuid(std::uint64_t value) {
  LUID luid{};
  luid.LowPart = static_cast<DWORD>(value & 0xFFFFFFFFu);
  luid.HighPart = static_cast<LONG>(value >> 32);
  return luid;
}

template <typename T>
T Resolve(HMODULE module, const char* name) {
  // Through void* so that the conversion from FARPROC raises no cast warning.
  return module == nullptr
             ? nullptr
             : reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class KmtGpu final : public GpuSource {
 public:
  KmtGpu() {
    HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
    if (gdi == nullptr) {
      gdi = LoadLibraryW(L"gdi32.dll");
    }
    enumAdapters2_ = Resolve<w32::PFN_EnumAdapters2>(gdi, "D3DKMTEnumAdapters2");
    queryAdapterInfo_ = Resolve<w32::PFN_QueryAdapterInfo>(gdi, "D3DKMTQueryAdapterInfo");
    closeAdapter_ = Resolve<w32::PFN_CloseAdapter>(gdi, "D3DKMTCloseAdapter");
    queryStatistics_ = Resolve<w32::PFN_QueryStatistics>(gdi, "D3DKMTQueryStatistics");
    openAdapterFromLuid_ = Resolve<w32::PFN_OpenAdapterFromLuid>(gdi, "D3DKMTOpenAdapterFromLuid");
  }

  std::int32_t Enumerate(std::vector<KmtAdapter>& adapters) override {
    if (enumAdapters2_ == nullptr || queryAdapterInfo_ == nullptr || closeAdapter_ == nullptr ||
        queryStatistics_ == nullptr) {
      return kMissingFunction;
    }
    w32::D3DKMT_ENUMADAPTERS2 request{};
    NTSTATUS status = enumAdapters2_(&request);
    if (status < 0) {
      return status;
    }
    std::vector<w32::D3DKMT_ADAPTERINFO> infos(request.NumAdapters);
    request.pAdapters = infos.data();
    status = enumAdapters2_(&request);
    if (status < 0) {
      return status;
    }
    infos.resize(std::min<std::size_t>(request.NumAdapters, infos.size()));
    for (const w32::D3DKMT_ADAPTERINFO& info : infos) {
      adapters.push_back({info.hAdapter, LuidValue(info.AdapterLuid)});
    }
    return status;
  }

  std::optional<std::uint32_t> AdapterType(std::uint32_t handle) override {
    UINT type = 0;
    if (QueryInfo(handle, w32::KMTQAITYPE_ADAPTERTYPE, &type, sizeof type) < 0) {
      return std::nullopt;
    }
    return type;
  }

  std::optional<std::u16string> AdapterName(std::uint32_t handle) override {
    w32::D3DKMT_ADAPTERREGISTRYINFO info{};
    if (QueryInfo(handle, w32::KMTQAITYPE_ADAPTERREGISTRYINFO, &info, sizeof info) < 0) {
      return std::nullopt;
    }
    const std::wstring_view name(info.AdapterString, wcsnlen(info.AdapterString, MAX_PATH));
    return std::u16string(AsU16(name));
  }

  void CloseAdapter(std::uint32_t handle) override {
    const w32::D3DKMT_CLOSEADAPTER request{handle};
    closeAdapter_(&request);
  }

  std::optional<KmtCounts> AdapterCounts(std::uint64_t luid) override {
    w32::D3DKMT_QUERYSTATISTICS query{};
    query.Type = w32::D3DKMT_QUERYSTATISTICS_ADAPTER;
    query.AdapterLuid = ToLuid(luid);
    if (queryStatistics_(&query) < 0) {
      return std::nullopt;
    }
    const w32::D3DKMT_QUERYSTATISTICS_ADAPTER_INFORMATION& info =
        query.QueryResult.AdapterInformation;
    return KmtCounts{info.NodeCount, info.NbSegments};
  }

  std::int32_t NodeRunningTime(std::uint64_t luid, std::uint32_t node,
                               std::uint64_t* runningTime) override {
    // Zeroed before every call: some implementations succeed without writing anything.
    w32::D3DKMT_QUERYSTATISTICS query{};
    query.Type = w32::D3DKMT_QUERYSTATISTICS_NODE;
    query.AdapterLuid = ToLuid(luid);
    query.QueryId = node;
    const NTSTATUS status = queryStatistics_(&query);
    *runningTime = static_cast<std::uint64_t>(
        query.QueryResult.NodeInformation.GlobalInformation.RunningTime.QuadPart);
    return status;
  }

  // A handle of its own, not a device: asking through it does not wake a sleeping adapter.
  std::int32_t OpenAdapter(std::uint64_t luid, std::uint32_t* handle) override {
    if (openAdapterFromLuid_ == nullptr) {
      return kMissingFunction;
    }
    w32::D3DKMT_OPENADAPTERFROMLUID request{ToLuid(luid), 0};
    const NTSTATUS status = openAdapterFromLuid_(&request);
    *handle = request.hAdapter;
    return status;
  }

  std::int32_t Temperature(std::uint32_t handle, std::uint32_t* tenths) override {
    w32::D3DKMT_ADAPTER_PERFDATA data{};  // physical adapter 0: the first of a linked chain
    const NTSTATUS status = QueryInfo(handle, w32::KMTQAITYPE_ADAPTERPERFDATA, &data, sizeof data);
    // PowerStateOverride is 1 while the GPU is powered on: a sleeping GPU's reading is not
    // shown. The data is what the kernel collects at its own interval; reading it wakes nothing.
    *tenths = data.PowerStateOverride != 0 ? data.Temperature : 0;
    return status;
  }

  std::int32_t Segment(std::uint64_t luid, std::uint32_t segment, KmtSegment* info) override {
    w32::D3DKMT_QUERYSTATISTICS query{};
    query.Type = w32::D3DKMT_QUERYSTATISTICS_SEGMENT;
    query.AdapterLuid = ToLuid(luid);
    query.QueryId = segment;
    const NTSTATUS status = queryStatistics_(&query);
    const w32::D3DKMT_QUERYSTATISTICS_SEGMENT_INFORMATION& result =
        query.QueryResult.SegmentInformation;
    *info = {result.CommitLimit, result.BytesResident, result.Aperture != 0};
    return status;
  }

 private:
  NTSTATUS QueryInfo(std::uint32_t handle, w32::KMTQUERYADAPTERINFOTYPE type, void* data,
                     UINT size) {
    w32::D3DKMT_QUERYADAPTERINFO request{handle, type, data, size};
    return queryAdapterInfo_(&request);
  }

  w32::PFN_EnumAdapters2 enumAdapters2_ = nullptr;
  w32::PFN_QueryAdapterInfo queryAdapterInfo_ = nullptr;
  w32::PFN_CloseAdapter closeAdapter_ = nullptr;
  w32::PFN_QueryStatistics queryStatistics_ = nullptr;
  w32::PFN_OpenAdapterFromLuid openAdapterFromLuid_ = nullptr;
};

}  // namespace

std::unique_ptr<GpuSource> MakeWin32Gpu() {
  return std::make_unique<KmtGpu>();
}

}  // namespace lumetta
