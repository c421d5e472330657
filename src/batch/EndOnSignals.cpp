#include "batch/EndOnSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "workspace/TextFile.h"

namespace kalvex::batch {

void EndStagedFilesOnSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  // Threads started later inherit the mask, so only the waiting thread takes
  // them, outside any handler: it may wait for a save that is moving its
  // files into place.
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
  std::thread([signals] {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    EndStagedFiles();
    ::_exit(128 + signal);
  }).detach();
}

}  // namespace kalvex::batch
