#include <ostream>

#include "app/cli/cli_command.h"
#include "text/code_page.h"
#include "store/file_key.h"

namespace plumex::cli {
namespace {

// filekey ID: the file-name stem of a Message-ID (UTF-8 in and out).
int FileKey(CliContext& context) {
  if (context.args.size() != 1) {
    context.err << "usage: plumex-cli filekey ID\n";
    return 1;
  }
  context.out << Cp932ToUtf8(MakeFileKey(Utf8ToCp932(context.args[0]))) << "\n";
  return 0;
}

const CliCommand registration("filekey", "filekey ID", FileKey);

}  // namespace
}  // namespace plumex::cli
