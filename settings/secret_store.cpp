#include "settings/secret_store.h"

#include <libsecret/secret.h>

#include "platform/app_error.h"
#include "text/code_page.h"
#include "text/sjis_text.h"
#include "settings/settings_texts.h"

namespace plumex {
namespace {

const SecretSchema* Schema() {
  static const SecretSchema schema = {
      "org.plumex.AccountSecret",
      SECRET_SCHEMA_NONE,
      {
          {"store", SECRET_SCHEMA_ATTRIBUTE_STRING},
          {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
          {"kind", SECRET_SCHEMA_ATTRIBUTE_STRING},
          {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
      },
      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &schema;
}

const char* KindName(SecretKind kind) {
  switch (kind) {
    case SecretKind::Password: return "password";
    case SecretKind::RefreshToken: return "refresh-token";
    case SecretKind::AccessToken: return "access-token";
  }
  return "password";
}

struct ErrorHolder {
  GError* error = nullptr;
  ~ErrorHolder() {
    if (error) g_error_free(error);
  }
};

[[noreturn]] void Fail(std::string_view what, const SecretKey& key, GError* error) {
  std::string text = Sjis(what) + "\r\n" + Sjis(texts::kAccountLine) + key.account;
  const bool locked = error && error->domain == SECRET_ERROR && error->code == SECRET_ERROR_IS_LOCKED;
  if (locked || (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)))
    text += "\r\n" + Sjis(texts::kKeyringLocked);
  if (error && error->message) text += "\r\n(" + Utf8ToCp932(error->message) + ")";
  throw AppError(ErrorKind::LocalFile, text);
}

}  // namespace

bool SecretServiceAvailable() {
  ErrorHolder e;
  SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &e.error);
  if (!service) return false;
  // The proxy exists even when nobody owns the service's name: ask the bus whether a keyring
  // answers (or can be started).
  GDBusProxy* proxy = G_DBUS_PROXY(service);
  gchar* owner = g_dbus_proxy_get_name_owner(proxy);
  bool available = owner != nullptr;
  g_free(owner);
  if (!available) {
    GDBusConnection* bus = g_dbus_proxy_get_connection(proxy);
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "StartServiceByName",
        g_variant_new("(su)", "org.freedesktop.secrets", 0u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000,
        nullptr, nullptr);
    if (reply) {
      available = true;
      g_variant_unref(reply);
    }
  }
  g_object_unref(service);
  return available;
}

std::optional<std::string> LookupSecret(const SecretKey& key) {
  ErrorHolder e;
  const std::string account = Cp932ToUtf8(key.account);
  gchar* value = secret_password_lookup_sync(Schema(), nullptr, &e.error, "store", key.store.c_str(), "account",
                                             account.c_str(), "kind", KindName(key.kind), nullptr);
  if (e.error) Fail(texts::kKeyringReadFailed, key, e.error);
  if (!value) return std::nullopt;
  std::string secret(value);
  secret_password_free(value);
  return secret;
}

void StoreSecret(const SecretKey& key, const std::string& value) {
  ErrorHolder e;
  const std::string account = Cp932ToUtf8(key.account);
  const std::string label = "Plumex: " + account + " (" + KindName(key.kind) + ")";
  const gboolean ok = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), value.c_str(),
                                                 nullptr, &e.error, "store", key.store.c_str(), "account",
                                                 account.c_str(), "kind", KindName(key.kind), nullptr);
  if (!ok || e.error) Fail(texts::kKeyringSaveFailed, key, e.error);
}

void ClearSecret(const SecretKey& key) {
  ErrorHolder e;
  const std::string account = Cp932ToUtf8(key.account);
  secret_password_clear_sync(Schema(), nullptr, &e.error, "store", key.store.c_str(), "account", account.c_str(),
                             "kind", KindName(key.kind), nullptr);
}

}  // namespace plumex
