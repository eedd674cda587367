// The start-up password's stored form: MailRoot + "Pass.dat", one 68-byte record whose bytes
// 10 (length n, 0 to 50) and 11..60 (n bytes) hold the stored text. The stored text is a salted
// one-way function of the password (PBKDF2-HMAC-SHA256 of its upper-cased form), so the file
// never reveals the password and the same password is stored differently in two stores;
// letters match without regard to case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace plumex {

inline constexpr size_t kMaxStartPasswordBytes = 50;

// Whether a password can be set: 1 to 50 half-width characters (printable ASCII, space
// included), no half-width katakana or other double-byte text.
bool IsAcceptablePassword(std::string_view password);

// The stored text of a password (a fresh random salt each time), at most 50 bytes.
std::string StoredPasswordText(std::string_view password);

// Whether the answer is the password the stored text was made from.
bool PasswordMatches(std::string_view answer, std::string_view stored);

std::filesystem::path PasswordFilePath(const std::filesystem::path& mail_root);

// The stored text of Pass.dat; nothing when the file is missing; an empty text when it is
// empty or unreadable as a record (every answer is then wrong).
std::optional<std::string> ReadPasswordFile(const std::filesystem::path& mail_root);

// Writes Pass.dat anew (readable by the owner only) with the stored text of a password.
void WritePasswordFile(const std::filesystem::path& mail_root, std::string_view stored);

}  // namespace plumex
