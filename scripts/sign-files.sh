#!/usr/bin/env bash
# Signs Windows programs and libraries in place with an Authenticode signature (osslsigncode, SHA-256), with
# the code-signing certificate and key of a PKCS#12 file. The release build signs the copies it packs with it
# (cmake/Packaging.cmake, through scripts/make-release.sh); the signing test signs copies of the built files.
#
#   scripts/sign-files.sh FILE...
#
# Environment:
#   ZS_SIGN_PKCS12          the PKCS#12 file (.p12 / .pfx) with the certificate, its chain and the private key
#   ZS_SIGN_PASSWORD        its password. It reaches osslsigncode through a pipe (-readpass -), never on a
#                           command line, and is kept out of osslsigncode's environment; nothing here prints it.
#   ZS_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamp server, whose counter-signature keeps the signature
#                           valid after the certificate has expired
#   ZS_SIGN_DESCRIPTION     optional: the description shown by Windows' signature dialogs (default: Zemrova Setup)
#
# Exit status: 0 every file signed; 1 a file could not be signed (it is left as it was); 2 usage or setup error.
set -euo pipefail
set +x  # never trace: the password is in the environment

die() {
    printf 'sign-files: %s\n' "$*" >&2
    exit 2
}

[ $# -ge 1 ] || die "usage: sign-files.sh FILE..."
command -v osslsigncode >/dev/null || die "osslsigncode not found (apt-get install osslsigncode)"
[ -n "${ZS_SIGN_PKCS12:-}" ] || die "ZS_SIGN_PKCS12 (the PKCS#12 file) is not set"
[ -f "$ZS_SIGN_PKCS12" ] || die "ZS_SIGN_PKCS12: no such file: $ZS_SIGN_PKCS12"
[ -n "${ZS_SIGN_PASSWORD+set}" ] || die "ZS_SIGN_PASSWORD (the password of $ZS_SIGN_PKCS12) is not set"

options=(-pkcs12 "$ZS_SIGN_PKCS12" -readpass - -h sha256 -n "${ZS_SIGN_DESCRIPTION:-Zemrova Setup}")
if [ -n "${ZS_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$ZS_SIGN_TIMESTAMP_URL")
fi

status=0
for file in "$@"; do
    [ -f "$file" ] || die "no such file: $file"
    # osslsigncode writes a new file: it goes into a private directory beside the file, then replaces the file.
    work=$(mktemp -d "$(dirname "$file")/.signing.XXXXXX")
    signed=$work/signed
    # printf is a shell builtin: the password appears in no process's arguments. osslsigncode itself runs
    # without the password variable in its environment.
    if printf '%s' "$ZS_SIGN_PASSWORD" |
        env -u ZS_SIGN_PASSWORD osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null; then
        chmod --reference="$file" "$signed"
        mv -f "$signed" "$file"
        printf 'sign-files: signed %s\n' "$file"
    else
        printf 'sign-files: could not sign %s\n' "$file" >&2
        status=1
    fi
    rm -rf "$work"
done
exit "$status"
