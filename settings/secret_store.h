// Secrets of accounts (passwords, OAuth2 tokens) in the desktop's Secret Service (GNOME Keyring,
// KWallet, KeePassXC) through libsecret. Each item is found by the store it belongs to (the
// MailRoot path), the account's name and what it holds, so two stores never share one.
#pragma once

#include <optional>
#include <string>

namespace plumex {

enum class SecretKind { Password, RefreshToken, AccessToken };

struct SecretKey {
  std::string store;    // MailRoot as text (native, UTF-8)
  std::string account;  // the account's name, code page 932
  SecretKind kind = SecretKind::Password;
};

// Whether a Secret Service answers on the session bus. Asked again each time: a keyring
// started later is found.
bool SecretServiceAvailable();

// The secret, or nothing when the keyring holds none for the key. Throws AppError (kind
// LocalFile) when the keyring cannot be read: locked, or no Secret Service at all.
std::optional<std::string> LookupSecret(const SecretKey& key);
// Stores (or replaces) the secret. Throws AppError as LookupSecret.
void StoreSecret(const SecretKey& key, const std::string& value);
// Removes the item; nothing happens when there is none or no keyring.
void ClearSecret(const SecretKey& key);

}  // namespace plumex
