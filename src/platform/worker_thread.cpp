// The worker thread's start and end.
#include "platform/worker_thread.h"

namespace veltra {

bool WorkerThread::Start(Entry entry, void* context) noexcept {
  Join();
  entry_ = entry;
  context_ = context;
  thread_.reset(::CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
  return static_cast<bool>(thread_);
}

void WorkerThread::Join() noexcept {
  if (!thread_) return;
  ::WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
}

DWORD WINAPI WorkerThread::ThreadMain(void* self) noexcept {
  const auto& thread = *static_cast<const WorkerThread*>(self);
  thread.entry_(thread.context_);
  return 0;
}

}  // namespace veltra
