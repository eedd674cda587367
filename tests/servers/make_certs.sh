#!/bin/sh
# Creates a throw-away certificate authority and server certificates in DIR:
#   ca.pem                 the test CA (give it to the client as its trust store)
#   server.pem/server.key  for "localhost" and 127.0.0.1, signed by the test CA
#   other.pem/other.key    self-signed, for "localhost": fails verification until trusted
# Usage: make_certs.sh DIR
set -eu
dir="$1"
mkdir -p "$dir"
cd "$dir"
[ -f server.pem ] && exit 0
openssl req -x509 -newkey rsa:2048 -nodes -days 3 -subj "/CN=Plumex Test CA" \
  -keyout ca.key -out ca.pem -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3 \
  -extfile server.ext -out server.pem 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -days 3 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" -keyout other.key -out other.pem 2>/dev/null
chmod 600 ./*.key
