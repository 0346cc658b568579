// Owns a thread-pool work item that runs one callback. Closing waits for a running callback
// and cancels pending ones, so nothing the callback touches may go before the item is closed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "base/win_error.h"

namespace lumetta {

class PoolWork {
 public:
  PoolWork() = default;
  ~PoolWork() { Close(); }
  PoolWork(const PoolWork&) = delete;
  PoolWork& operator=(const PoolWork&) = delete;

  // 0, or the error code of the failed creation.
  std::uint32_t Create(std::function<void()> callback) {
    callback_ = std::move(callback);
    work_ = CreateThreadpoolWork(&PoolWork::Run, this, nullptr);
    return work_ != nullptr ? 0 : LastErrorCode();
  }
  void Submit() { SubmitThreadpoolWork(work_); }
  void Close() {
    if (work_ != nullptr) {
      WaitForThreadpoolWorkCallbacks(work_, TRUE);
      CloseThreadpoolWork(work_);
      work_ = nullptr;
    }
  }

 private:
  static void CALLBACK Run(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK) {
    static_cast<PoolWork*>(context)->callback_();
  }

  std::function<void()> callback_;
  PTP_WORK work_ = nullptr;
};

}  // namespace lumetta
