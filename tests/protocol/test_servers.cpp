#include "tests/protocol/test_servers.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "text/code_page.h"

namespace plumex::test {

namespace fs = std::filesystem;

std::optional<TestServers> TestServers::Find() {
  const char* dir = std::getenv("PLUMEX_TEST_SERVERS");
  if (!dir || !*dir) return std::nullopt;
  std::ifstream in(fs::path(dir) / "servers.env");
  if (!in) throw std::runtime_error(std::string("no servers.env in ") + dir);
  TestServers s;
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) s.values_[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return s;
}

std::string TestServers::Get(const std::string& key) const {
  auto it = values_.find(key);
  if (it == values_.end()) throw std::runtime_error("servers.env lacks " + key);
  return it->second;
}

fs::path TestServers::Maildir(const std::string& user) const { return fs::path(Get("STATE")) / "home" / user / "Maildir"; }

std::vector<fs::path> TestServers::MailboxFiles(const std::string& user) const {
  std::vector<fs::path> files;
  for (const char* sub : {"new", "cur"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Maildir(user) / sub, ec)) files.push_back(entry.path());
  }
  return files;
}

std::string TestServers::AccountLine(const std::string& name_utf8, const std::string& user, const Account& account) const {
  return Utf8ToCp932(name_utf8 + "\t127.0.0.1\t" + user + "\tsecret\t127.0.0.1\t" + account.address + "\t" +
                     Get("POP3_PORT") + "\t" + (account.smtp ? Get("SMTP_PORT") : "25") + "\t" + account.rest);
}

std::vector<std::string> TestServers::SmtpSettings() const {
  return {"Host:127.0.0.1", "Username:sender", "Password:secret", "Port:" + Get("SMTP_PORT"), "SmtpSSL:-1"};
}

void TestServers::MakeMailbox(const std::string& user, const std::vector<std::string>& messages) const {
  const fs::path maildir = Maildir(user);
  const fs::path home = maildir.parent_path();
  fs::remove_all(home);
  for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(maildir / sub);
  for (const fs::path& p : {home, maildir, maildir / "cur", maildir / "new", maildir / "tmp"})
    fs::permissions(p, fs::perms::all);
  // Names sort in message order; the server numbers messages by their order of arrival.
  const auto base = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()) - 1000;
  for (size_t i = 0; i < messages.size(); ++i) {
    std::ostringstream name;
    name << (base + static_cast<long>(i)) << ".M" << i << ".plumex-test";
    std::ofstream out(maildir / "new" / name.str(), std::ios::binary);
    out << messages[i];
  }
}

fs::path TestServers::WaitForDelivered(const std::string& needle, int timeout_seconds) const {
  const fs::path dir = fs::path(Get("SMTP_MAILDIR")) / "new";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::string head(64 * 1024, '\0');
      in.read(head.data(), static_cast<std::streamsize>(head.size()));
      head.resize(static_cast<size_t>(in.gcount()));
      if (head.find(needle) != std::string::npos) return entry.path();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

}  // namespace plumex::test
