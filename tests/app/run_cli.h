// Runs the plumex-cli program of this build on a mail root, for the command-line tests.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/text_file.h"

namespace plumex {

struct Outcome {
  int status = -1;
  std::string out, err;
};

inline Outcome RunCli(const std::filesystem::path& root, const std::string& args) {
  const auto err_file = root / "cli-stderr.txt";
  const std::string command = std::string(PLUMEX_CLI) + " --root '" + root.string() + "' " + args + " 2>'" +
                              err_file.string() + "'";
  Outcome outcome;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, n);
  const int status = ::pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.err = ReadFileBytes(err_file).value_or("");
  return outcome;
}

}  // namespace plumex
