// The pictures an HTML body shows by "cid:" address: the message's own saved parts, nothing else.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "shell/main_state.h"

namespace plumex {

// The file of the part a "cid:" address names (the text after "cid:", percent-escapes read),
// among the attachments of the message on screen: by the Content-ID lines its file holds, else
// a file named like the id or like its part before "@" (many mailers name a picture so). Nothing
// for any other address, or a name that would leave the attachment directory.
std::optional<std::filesystem::path> InlinePartFile(const ViewerContent& viewer, std::string_view address);

}  // namespace plumex
