// Code page 932 <-> QString: the only place where core text meets Qt text.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace plumex {

QString ToQ(std::string_view cp932);
std::string FromQ(const QString& text);

// Native paths (UTF-8 on Linux) <-> QString.
QString PathToQ(const std::filesystem::path& path);
std::filesystem::path PathFromQ(const QString& path);

}  // namespace plumex
