#include "protocol/protocol_texts.h"

#include "platform/sjis_text.h"

namespace plumex {

std::string StatusConnecting(const std::string& host, int port) {
  return host + ":" + std::to_string(port) + Sjis(" に接続しています");
}
std::string StatusConnected() { return Sjis("接続しました"); }
std::string StatusDisconnected() { return Sjis("切断しました"); }

}  // namespace plumex
