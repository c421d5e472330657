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
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the launcher set to be ignored (nohup, a background job of a
    // script) stays ignored: blocked, it would be queued for the thread.
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&signals, number);
  }
  // Threads started later inherit the mask, so only the waiting thread takes
  // them, outside any handler: it may wait for a save that is moving its
  // files into place.
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
  std::thread([signals] {
    int number = 0;
    while (sigwait(&signals, &number) != 0) {
    }
    EndStagedFiles();
    ::_exit(128 + number);
  }).detach();
}

}  // namespace kalvex::batch
