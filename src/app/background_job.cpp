#include "app/background_job.h"

#include "app/log.h"

namespace lumetta {

BackgroundJob::BackgroundJob(JobPlatform& platform, std::string_view component,
                             std::function<void()> run)
    : platform_(platform), run_(std::move(run)) {
  if (const std::uint32_t error = platform_.CreateWork([this] { run_(); }); error != 0) {
    LogEvent(kError, component, "work_create_failed", CodeDetail(error));
  } else {
    hasWork_ = true;
  }
}

bool BackgroundJob::Submit() {
  if (!hasWork_ || busy_.exchange(true)) {
    return false;
  }
  platform_.SubmitWork();
  return true;
}

void BackgroundJob::Finish() {
  busy_.store(false);
  platform_.NotifyDone();
}

void BackgroundJob::Close() {
  if (hasWork_) {
    platform_.CloseWork();
    hasWork_ = false;
  }
}

}  // namespace lumetta
