#pragma once
// posix_spawn's file actions (which descriptors a child process gets), released on every
// path: the print queue's child and the Jet reader both start through posix_spawn.
#include <spawn.h>

namespace tableau::routines {

class SpawnActions {
  public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

}  // namespace tableau::routines
