// jconv, decode-header and encode-header: the codecs on standard input, bytes as they are.
#include <iostream>
#include <iterator>
#include <string>

#include "app/cli/cli_command.h"
#include "codecs/header_decode.h"
#include "codecs/header_encode.h"
#include "codecs/jconvert.h"

namespace plumex::cli {
namespace {

std::string ReadAll(std::istream& in) {
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A header value read from a file or a pipe: the line end that closes it is not part of it.
std::string WithoutFinalLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

int Jconv(CliContext& context) {
  if (context.args.size() != 2 || context.args[0] != "--to" ||
      (context.args[1] != "sjis" && context.args[1] != "jis")) {
    context.err << "usage: plumex-cli jconv --to sjis|jis\n";
    return 1;
  }
  context.out << ConvertCode(ReadAll(context.in), context.args[1] == "sjis" ? CodeSjis : CodeJis);
  return 0;
}

int DecodeHeaderCommand(CliContext& context) {
  std::string charset;
  if (context.args.size() == 2 && context.args[0] == "--charset") {
    charset = context.args[1];
  } else if (!context.args.empty()) {
    context.err << "usage: plumex-cli decode-header [--charset CS]\n";
    return 1;
  }
  context.out << DecodeHeader(WithoutFinalLineEnd(ReadAll(context.in)), charset) << "\n";
  return 0;
}

int EncodeHeaderCommand(CliContext& context) {
  bool word = context.args.size() == 1 && context.args[0] == "--word";
  if (!context.args.empty() && !word) {
    context.err << "usage: plumex-cli encode-header [--word]\n";
    return 1;
  }
  std::string value = WithoutFinalLineEnd(ReadAll(context.in));
  context.out << (word ? EncodeHeaderWord(value) : EncodeHeaderB(value)) << "\n";
  return 0;
}

const CliCommand jconv("jconv", "jconv --to sjis|jis", Jconv);
const CliCommand decode_header("decode-header", "decode-header [--charset CS]", DecodeHeaderCommand);
const CliCommand encode_header("encode-header", "encode-header [--word]", EncodeHeaderCommand);

}  // namespace
}  // namespace plumex::cli
