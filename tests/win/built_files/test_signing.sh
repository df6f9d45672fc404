#!/usr/bin/env bash
# The release signing of the Windows files, on copies of the built ones: a throw-away certificate authority
# and code-signing certificate made with openssl, the files signed by scripts/sign-files.sh (the function the
# release uses), each signature verified by osslsigncode against that authority, and found by the media
# tool's reader of images; a changed byte breaks the signature, a wrong password signs nothing, and the
# password shows in no output.
#
#   test_signing.sh PE_IMAGE_CHECK FILE...
#
# PE_IMAGE_CHECK is the host program of tests/win/pe_image, which answers whether a file carries a signature.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: test_signing.sh PE_IMAGE_CHECK FILE..." >&2; exit 2; }
check=$(realpath "$1")
shift
files=()
for file in "$@"; do files+=("$(realpath "$file")"); done
set -- "${files[@]}"
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
sign=$root/scripts/sign-files.sh
for tool in openssl osslsigncode; do
    command -v "$tool" >/dev/null || { echo "FAIL $tool not found (scripts/install-deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# A throw-away authority and a code-signing certificate it issued, valid for a day; the key and certificate go
# into a PKCS#12 file under a random password, which reaches openssl through the environment too.
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 1 -subj "/CN=Throw-away Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Throw-away Test Signer" \
    2>/dev/null
printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" "extendedKeyUsage=codeSigning" \
    >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 -extfile signer.ext \
    -out signer.pem 2>/dev/null
ZS_SIGN_PASSWORD=$(openssl rand -hex 16)
export ZS_SIGN_PASSWORD
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 \
    -passout env:ZS_SIGN_PASSWORD
export ZS_SIGN_PKCS12=$work/signer.p12
unset ZS_SIGN_TIMESTAMP_URL

copies=()
for file in "$@"; do
    copy=$work/$(basename "$file")
    cp "$file" "$copy"
    copies+=("$copy")
    "$check" signature "$copy" no || fail "$file carries a signature before signing"
done

# A wrong password: nothing is signed, every file stays as it was, and the status says so.
if ZS_SIGN_PASSWORD=wrong-$ZS_SIGN_PASSWORD bash "$sign" "${copies[@]}" >wrong.log 2>&1; then
    fail "sign-files.sh succeeded with a wrong password"
fi
for i in "${!copies[@]}"; do
    cmp -s "${copies[$i]}" "${@:$((i + 1)):1}" || fail "${copies[$i]} changed by a signing that failed"
done

if ! bash "$sign" "${copies[@]}" >sign.log 2>&1; then
    cat sign.log
    fail "sign-files.sh failed"
fi
if grep -qF "$ZS_SIGN_PASSWORD" sign.log wrong.log; then
    fail "the password appears in sign-files.sh's output"
fi

for i in "${!copies[@]}"; do
    copy=${copies[$i]}
    name=$(basename "$copy")
    [ -x "$copy" ] || [ ! -x "${@:$((i + 1)):1}" ] || fail "$name lost its execute permission"
    if ! osslsigncode verify -CAfile ca.pem -in "$copy" >"verify-$name.log" 2>&1; then
        cat "verify-$name.log"
        fail "$name: the signature does not verify"
    fi
    "$check" signature "$copy" yes || fail "$name: the reader of images finds no signature"

    # One changed byte in the signed part (the first byte of the first section's data) breaks the signature.
    damaged=$work/damaged-$name
    cp "$copy" "$damaged"
    offset=$("$check" first-section-offset "$damaged")
    byte=$(od -An -tu1 -j "$offset" -N1 "$damaged" | tr -d ' ')
    printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
        dd of="$damaged" bs=1 seek="$offset" conv=notrunc status=none
    if osslsigncode verify -CAfile ca.pem -in "$damaged" >"damaged-$name.log" 2>&1; then
        fail "$name: a changed byte at offset $offset still verifies"
    fi
done

if [ "$failures" -gt 0 ]; then
    exit 1
fi
echo "ok: $# files signed with a throw-away certificate, verified, and broken by a changed byte"
