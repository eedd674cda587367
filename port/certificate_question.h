// The one place that puts an unverifiable server certificate to the user.
#pragma once

#include <filesystem>
#include <functional>

#include "port/ui_port.h"

namespace plumex {

class CertificateError;

// Asks whether to trust the certificate (warning, Yes/No); Yes records it in the trusted list
// of mail_root, so the next connection to that host and port accepts it. True for Yes.
bool AskToTrustCertificate(UiPort& ui, const std::filesystem::path& mail_root, const CertificateError& error);

// Runs connect; when it fails on the certificate, asks once and, on Yes, runs it again.
// Every other failure (and a No) is thrown to the caller as it came.
void ConnectAskingTrust(UiPort& ui, const std::filesystem::path& mail_root, const std::function<void()>& connect);

}  // namespace plumex
