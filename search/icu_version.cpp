#include "search/icu_version.h"

#include <unicode/uversion.h>

namespace plumex {

std::string IcuVersion() {
  UVersionInfo info;
  u_getVersion(info);
  char text[U_MAX_VERSION_STRING_LENGTH];
  u_versionToString(info, text);
  return text;
}

}  // namespace plumex
