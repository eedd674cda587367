// How the store creates its files and folders. They hold mail and passwords (Account.ini), so
// each one is readable by its owner only: files 0600, folders 0700, whatever the umask of the
// process (the mode is set explicitly after creation; the umask itself is left alone).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

#include "platform/unique_fd.h"

namespace plumex {

inline constexpr mode_t kPrivateFileMode = 0600;
inline constexpr mode_t kPrivateDirectoryMode = 0700;

// Opens path for writing (O_WRONLY | O_CREAT | O_CLOEXEC | flags), creating it when missing,
// and gives it mode 0600 also when it was already there. Empty (errno set) on failure.
UniqueFd OpenPrivateFile(const std::filesystem::path& path, int flags);

// Creates one directory with mode 0700; false (errno set, EEXIST when something is there
// already) when it was not created.
bool MakePrivateDirectory(const std::filesystem::path& dir);

// Writes all bytes to fd; false (errno set) on failure.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace plumex
