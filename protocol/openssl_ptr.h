// Owners of OpenSSL objects: each is freed by its own free function when its owner goes.
#pragma once

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>

namespace plumex {

template <auto Free>
struct OpenSslFree {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

using SslPtr = std::unique_ptr<SSL, OpenSslFree<SSL_free>>;
using SslCtxPtr = std::unique_ptr<SSL_CTX, OpenSslFree<SSL_CTX_free>>;
using X509Ptr = std::unique_ptr<X509, OpenSslFree<X509_free>>;

}  // namespace plumex
