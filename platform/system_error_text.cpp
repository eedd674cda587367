#include "platform/system_error_text.h"

#include <cerrno>

#include "platform/code_page.h"
#include "platform/sjis_text.h"

namespace plumex {

std::string SystemErrorText(const std::error_code& code) {
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
    switch (code.value()) {
      case ENOENT: return Sjis("ファイルまたはフォルダがありません");
      case EACCES:
      case EPERM: return Sjis("アクセスが許可されていません");
      case EEXIST: return Sjis("同じ名前のファイルがすでにあります");
      case ENOTDIR: return Sjis("フォルダではありません");
      case EISDIR: return Sjis("フォルダです");
      case ENOTEMPTY: return Sjis("フォルダが空ではありません");
      case ENOSPC: return Sjis("ディスクの空き容量が足りません");
      case EDQUOT: return Sjis("ディスクの使用量の上限を超えました");
      case EROFS: return Sjis("書き込みできないディスクです");
      case ENAMETOOLONG: return Sjis("名前が長すぎます");
      case EIO: return Sjis("ディスクの読み書きでエラーが起きました");
      case EMFILE:
      case ENFILE: return Sjis("開いているファイルが多すぎます");
      case ECONNREFUSED: return Sjis("接続が拒否されました");
      case ETIMEDOUT: return Sjis("接続がタイムアウトしました");
      case ECONNRESET: return Sjis("接続がリセットされました");
      case ENETUNREACH: return Sjis("ネットワークに到達できません");
      case EHOSTUNREACH: return Sjis("ホストに到達できません");
      default: break;
    }
  }
  return Sjis("システムのエラー ") + std::to_string(code.value()) + " (" + Utf8ToCp932(code.message()) + ")";
}

}  // namespace plumex
