#!/bin/sh
# The test's own certificates, for servers on 127.0.0.1 only:
#   make_certs.sh DIR
# DIR/ca.pem        an authority of the test
# DIR/server.pem    signed by it for 127.0.0.1 and localhost, key server.key
# DIR/self.pem      self-signed for 127.0.0.1, trusted by nobody, key self.key
set -e
cd "$1"
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n' >san.ext
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=xyh test CA" -days 2 \
  -keyout ca.key -out ca.pem
openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout server.key -out server.csr
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -extfile san.ext -out server.pem
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 2 \
  -addext subjectAltName=IP:127.0.0.1 -keyout self.key -out self.pem
