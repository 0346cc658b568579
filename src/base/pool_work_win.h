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
  // A job that throws ends the process here rather than unwinding through the pool's frames.
  static void CALLBACK Run(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK) noexcept {
    static_cast<PoolWork*>(context)->callback_();
  }

  std::function<void()> callback_;
  PTP_WORK work_ = nullptr;
};

// The Win32 half of a background job: its work item on the thread pool, and the message posted
// to the window when a run ends. `Platform` adds what the job itself asks of the system.
template <typename Platform>
class PoolJob : public Platform {
 public:
  PoolJob(HWND window, UINT message) : window_(window), message_(message) {}
  ~PoolJob() override { work_.Close(); }
  PoolJob(const PoolJob&) = delete;
  PoolJob& operator=(const PoolJob&) = delete;

  std::uint32_t CreateWork(std::function<void()> callback) override {
    return work_.Create(std::move(callback));
  }
  void SubmitWork() override { work_.Submit(); }
  void CloseWork() override { work_.Close(); }
  void NotifyDone() override { PostMessageW(window_, message_, 0, 0); }

 private:
  HWND window_;
  UINT message_;
  PoolWork work_;
};

}  // namespace lumetta
