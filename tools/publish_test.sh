#!/bin/bash
# Round trips and failures of updater-publish's key commands: keys of several sizes seal and
# unseal version texts; wrong keys, missing files and bad command lines give clear messages
# and the documented exit codes. Usage: publish_test.sh PATH/TO/updater-publish KEYS_DIR
set -u
tool="$1"
keys="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect CODE TEXT COMMAND...: exit code CODE and TEXT somewhere in standard error.
expect() {
  local code="$1" text="$2"
  shift 2
  "$tool" "$@" >out 2>err
  local got=$?
  [ "$got" -eq "$code" ] || fail "$* exited $got, expected $code"
  grep -qF -- "$text" err || fail "$* did not say '$text': $(cat err)"
}

printf 'first line\r\n%s\r\nend of file\r\n' "$(head -c 3000 /dev/zero | tr '\0' 'x')" >version.txt

for bits in 1024 2048 4096; do
  "$tool" keygen --bits "$bits" --out "key$bits" || fail "keygen $bits"
  grep -q '^ssh-rsa [A-Za-z0-9+/]*=* key'"$bits"'$' "key$bits.pub" || fail "key$bits.pub line"
  [ "$(stat -c %a "key$bits")" = 600 ] || fail "key$bits is readable by others"
  "$tool" seal --key "key$bits" --in version.txt --out "v$bits.txt.bin" || fail "seal $bits"
  [ $(( $(stat -c %s "v$bits.txt.bin") % (bits / 8) )) -eq 0 ] || fail "v$bits is not whole blocks"
  "$tool" unseal --pub "key$bits.pub" --in "v$bits.txt.bin" >opened || fail "unseal $bits"
  cmp -s opened version.txt || fail "unseal $bits gave other text"
done
# The repository's test key pair belongs together.
"$tool" seal --key "$keys/test_key" --in version.txt --out test.bin || fail "seal with test key"
"$tool" unseal --pub "$keys/test_key.pub" --in test.bin >opened && cmp -s opened version.txt ||
  fail "test key pair round trip"

expect 1 "was not sealed with the private half of 'key2048.pub'" unseal --pub key2048.pub --in v1024.txt.bin
expect 1 "is not a PEM RSA private key" seal --key key1024.pub --in version.txt --out x
expect 1 "is not an OpenSSH ssh-rsa public key" unseal --pub version.txt --in v1024.txt.bin
expect 1 "cannot read key 'missing'" seal --key missing --in version.txt --out x
expect 1 "cannot read 'missing.txt'" seal --key key1024 --in missing.txt --out x
expect 1 "cannot read 'missing.bin'" unseal --pub key1024.pub --in missing.bin
: >empty.bin
expect 1 "no data decrypted" unseal --pub key1024.pub --in empty.bin
expect 1 "'key1024' exists; not overwritten" keygen --out key1024
expect 2 "--bits must be a number from 1024 to 4096" keygen --bits 512 --out small
expect 2 "usage: seal" seal --key key1024 --in version.txt
expect 2 "unknown command 'frob'" frob
[ -e small ] && fail "a refused keygen wrote a file"

[ "$failures" -eq 0 ] && echo "all passed"
exit $((failures > 0))
