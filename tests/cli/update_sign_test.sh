#!/usr/bin/env bash
# q350ctl update sign and verify as whoever prepares the server uses them: its signatures are the
# openssl command's, each way round; a changed byte, another key, a missing or broken signature
# are refused with status 1; a firmware image is named with its version.
set -uo pipefail
q=${1:?q350ctl}
keys=${2:?tests/keys}
work=${3:?work folder}
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
refused() { # refused WHAT COMMAND...: status 1 and a message
  local status=0 err
  err=$("${@:2}" 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "$1: status $status"
  [ -n "$err" ] || fail "$1: no message"
}

printf '<update><current><firmware>7</firmware></current></update>\n' >update.xml
"$q" update sign "$keys/update_test_key.pem" update.xml | grep -qx 'wrote update.xml.sig' || fail "sign"
openssl dgst -sha256 -verify <(openssl ec -in "$keys/update_test_key.pem" -pubout 2>/dev/null) \
  -signature update.xml.sig update.xml >/dev/null || fail "openssl does not accept our signature"
"$q" update verify update.xml | grep -qx 'update.xml: signed by the test key' || fail "verify"

cp update.xml other.xml
openssl dgst -sha256 -sign "$keys/update_test_key.pem" -out other.xml.sig other.xml
"$q" update verify other.xml >/dev/null || fail "openssl's signature is not accepted"
"$q" update verify other.xml update.xml.sig >/dev/null || fail "a signature named on the command line"

sed -i 's/7/8/' other.xml
refused "a changed byte" "$q" update verify other.xml
"$q" update sign "$keys/other_key.pem" other.xml >/dev/null || fail "sign with another key"
refused "another key" "$q" update verify other.xml
rm other.xml.sig
refused "no signature" "$q" update verify other.xml
head -c 20 update.xml.sig >other.xml.sig
refused "a broken signature" "$q" update verify other.xml
refused "a P-384 key" "$q" update sign "$keys/p384_key.pem" other.xml
refused "no key" "$q" update sign missing.pem other.xml

# A firmware image is said to be one.
printf 'Q350FWIM\x07\x00\x00\x00\x00\x00\x00\x00' >fw.bin
python3 - <<'PY'
import zlib
data = open("fw.bin", "rb").read()
open("fw.bin", "wb").write(data + zlib.crc32(data).to_bytes(4, "little"))
PY
"$q" update sign "$keys/update_test_key.pem" fw.bin >/dev/null || fail "sign the image"
"$q" update verify fw.bin | grep -q 'firmware image, version 7' || fail "the image is not named"

status=0; "$q" update frobnicate 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "bad usage gave $status"

[ "$failures" -eq 0 ] && echo "update sign: all passed"
exit $((failures > 0))
