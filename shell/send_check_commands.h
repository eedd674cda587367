// The check before sending as the compose window and plumex-cli meet it: built from the
// compose content, the accounts' own domains and the check's settings, shown through the Ui
// port.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "port/send_check.h"
#include "port/ui_port.h"
#include "settings/send_check_settings.h"
#include "shell/compose.h"

namespace plumex {

// The domains of every account's own address and the ones the user added, lower case.
std::vector<std::string> OwnDomains(const std::vector<std::string>& account_list, const SendCheckSettings& settings);

// The check of a message in the compose window. reply_header_lines: the stored header of the
// message replied to (null when the message is no reply).
SendCheck BuildComposeCheck(const ComposeContent& content, const std::vector<std::string>& account_list,
                            const SendCheckSettings& settings, const std::vector<std::string>* reply_header_lines);

// True when the message may go: the check is off, or the person confirmed it.
bool ConfirmBeforeSend(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list,
                       const ComposeContent& content, const std::vector<std::string>* reply_header_lines, UiPort& ui);

}  // namespace plumex
