// One piece of work on the thread pool with at most one run outstanding: a request made while
// a run is outstanding is dropped. The Wi-Fi query and the update check are such jobs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumetta {

// The thread pool and the window a job reports to.
class JobPlatform {
 public:
  virtual ~JobPlatform() = default;
  // Creates the work item that runs `callback`; 0 or the error code.
  virtual std::uint32_t CreateWork(std::function<void()> callback) = 0;
  virtual void SubmitWork() = 0;
  // Waits for a running callback, cancelling pending ones, then closes the work item.
  virtual void CloseWork() = 0;
  // On the worker: tells the window that a run has finished.
  virtual void NotifyDone() = 0;
};

class BackgroundJob {
 public:
  // `component` names the job in the log ("work_create_failed").
  BackgroundJob(JobPlatform& platform, std::string_view component, std::function<void()> run);
  ~BackgroundJob() { Close(); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Starts a run unless one is outstanding or there is no work item; whether it started.
  bool Submit();
  // The end of a run, on the worker: cleared before the window is told, so that the window's
  // answer may submit again at once.
  void Finish();
  // Waits for a running run and closes the work item; nothing runs afterwards.
  void Close();

 private:
  JobPlatform& platform_;
  std::function<void()> run_;
  bool hasWork_ = false;
  std::atomic<bool> busy_{false};
};

}  // namespace lumetta
