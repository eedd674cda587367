#include "protocol/mail_date.h"

#include <gmime/gmime.h>

#include <cstdio>

#include "protocol/gmime_init.h"

namespace plumex {

std::time_t ParseMailDate(std::string_view value) {
  EnsureGMime();
  std::string text(value);
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return 0;
  GDateTime* dt = g_mime_utils_header_decode_date(text.c_str());
  if (!dt) return 0;
  const gint64 t = g_date_time_to_unix(dt);
  g_date_time_unref(dt);
  return static_cast<std::time_t>(t);
}

std::string FormatMailDate(std::time_t t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  gmtime_r(&t, &tm);
  char time_text[16];
  std::snprintf(time_text, sizeof time_text, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  char out[64];
  std::snprintf(out, sizeof out, "%s, %d %s %d %s %s", kDays[tm.tm_wday], tm.tm_mday,
                kMonths[tm.tm_mon], tm.tm_year + 1900, time_text, "+0000");
  return out;
}

}  // namespace plumex
