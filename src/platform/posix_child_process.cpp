#include "platform/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

struct ChildProcess {
  pid_t pid;
  FILE* input;
};

namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

int WaitStatus(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool ProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string rest = path;
  size_t start = 0;
  while (start <= rest.size()) {
    const size_t end = std::min(rest.find(':', start), rest.size());
    const std::string dir = end > start ? rest.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

namespace {

// posix_spawnp tells of a missing program only where the C library sees the child's exec
// fail; under an emulator's user mode (qemu runs the spawn's vfork as a fork) the child just
// exits with 127. So a program that is not there is found out before anything starts.
bool ProgramThere(const std::string& name) {
  if (name.find('/') == std::string::npos) return ProgramOnPath(name);
  return access(name.c_str(), X_OK) == 0;
}

}  // namespace

ChildProcess* StartWithInputPipe(const std::vector<std::string>& args, FILE** input, std::string* error) {
  if (args.empty() || !ProgramThere(args[0])) {
    *error = "cannot start " + (args.empty() ? std::string("nothing") : args[0]) + ": " + std::strerror(ENOENT);
    return nullptr;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  std::vector<char*> argv = ArgumentVector(args);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (spawned != 0) {
    close(fds[1]);
    *error = "cannot start " + args[0] + ": " + std::strerror(spawned);
    return nullptr;
  }
  *input = fdopen(fds[1], "wb");
  return new ChildProcess{pid, *input};
}

int FinishChild(ChildProcess* child) {
  if (!child) return -1;
  if (child->input) std::fclose(child->input);
  const int status = WaitStatus(child->pid);
  delete child;
  return status;
}

int RunProgram(const std::vector<std::string>& args) {
  if (args.empty() || !ProgramThere(args[0])) return -1;
  std::vector<char*> argv = ArgumentVector(args);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return WaitStatus(pid);
}
