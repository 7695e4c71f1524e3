#!/usr/bin/env bash
# Makes the file the site serves to every customer: Tavro.exe from the windows preset (the build
# the tests run against), signed with the publisher's code-signing certificate when one is given,
# its signature verified, written as dist/Tavro.exe beside dist/SHA256SUMS and dist/SOURCE (the
# commit and settings it was built from, which tools/verify-release.sh reads).
#
#   tools/release.sh [--pfx FILE --password-file FILE] [--timestamp-url URL]
#                    [--ca-file FILE] [--build-dir DIR] [--out DIR]
#   tools/release.sh --pkcs11-module LIB --key 'pkcs11:URI' --cert FILE --pin-file FILE
#                    [--timestamp-url URL] [--ca-file FILE] [--build-dir DIR] [--out DIR]
#
#   --pfx FILE            the publisher's certificate and private key (PKCS#12)
#   --password-file FILE  holds the PFX password on its first line; it reaches openssl and
#                         osslsigncode as a file name, never on a command line
#   --pkcs11-module LIB   the PKCS#11 library of the token or HSM that holds the private key
#   --key URI             the private key in it, as a PKCS#11 URI (RFC 7512), without a PIN
#   --cert FILE           the key's certificate and its chain (PEM), signer first
#   --pin-file FILE       holds the token's PIN on its first line; like the password, it never
#                         reaches a command line. A wrong PIN is tried once only: tokens lock
#                         themselves after a few
#   --timestamp-url URL   an RFC 3161 time-stamp server; without a time stamp the signature stops
#                         verifying when the certificate expires
#   --ca-file FILE        trusted roots (PEM) to verify the signature and time stamp against;
#                         default: the system's store
#   --build-dir DIR       ship the Tavro.exe that DIR, an existing build, already holds (the one just
#                         tested), without configuring or building
#   --out DIR             where to write (default: dist in the repository)
#
# A failed run leaves no Tavro.exe in the output folder, so nothing half-made can be uploaded.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)

die() {
    echo "release: $*" >&2
    exit 1
}

absolute() {
    case "$1" in
        /*) printf '%s\n' "$1" ;;
        *) printf '%s\n' "$PWD/$1" ;;
    esac
}

pfx='' password_file='' timestamp_url='' ca_file='' build_dir='' out=$repo/dist
module='' key='' cert='' pin_file=''
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || die "$1 needs a value"
    case "$1" in
        --pfx) pfx=$(absolute "$2") ;;
        --password-file) password_file=$(absolute "$2") ;;
        --pkcs11-module) module=$(absolute "$2") ;;
        --key) key=$2 ;;
        --cert) cert=$(absolute "$2") ;;
        --pin-file) pin_file=$(absolute "$2") ;;
        --timestamp-url) timestamp_url=$2 ;;
        --ca-file) ca_file=$(absolute "$2") ;;
        --build-dir) build_dir=$(absolute "$2") ;;
        --out) out=$(absolute "$2") ;;
        *) die "unknown argument $1 (see the top of $0)" ;;
    esac
    shift 2
done

token=
if [ -n "$module$key$cert$pin_file" ]; then
    token=yes
    if [ -z "$module" ] || [ -z "$key" ] || [ -z "$cert" ] || [ -z "$pin_file" ]; then
        die "--pkcs11-module, --key, --cert and --pin-file go together"
    fi
    [ -z "$pfx$password_file" ] || die "sign either with a token (--pkcs11-module) or with a PFX (--pfx), not both"
    [ -r "$module" ] || die "cannot read the PKCS#11 module $module"
    [ -r "$cert" ] || die "cannot read the certificate $cert"
    [ -r "$pin_file" ] || die "cannot read the PIN file $pin_file"
    case "$key" in
        pkcs11:*) ;;
        *) die "--key takes a PKCS#11 URI (RFC 7512), such as 'pkcs11:token=NAME;object=NAME;type=private'" ;;
    esac
    case "$key" in
        *pin-value=* | *pin-source=*) die "the key URI holds a PIN or says where one is; give the PIN in --pin-file only" ;;
    esac
    # The module's path goes into an OpenSSL configuration file, where these mean something.
    case "$module" in
        *'$'* | *'#'* | *'"'* | *"'"* | *\\*) die "the PKCS#11 module's path may not hold \$, #, quotes or backslashes: $module" ;;
    esac
elif [ -n "$pfx" ] || [ -n "$password_file" ]; then
    if [ -z "$pfx" ] || [ -z "$password_file" ]; then
        die "--pfx and --password-file go together"
    fi
    [ -r "$pfx" ] || die "cannot read the certificate $pfx"
    [ -r "$password_file" ] || die "cannot read the password file $password_file"
elif [ -n "$timestamp_url" ]; then
    die "--timestamp-url needs a certificate to sign with (a token, or --pfx and --password-file)"
fi
[ -z "$ca_file" ] || [ -r "$ca_file" ] || die "cannot read the CA file $ca_file"

# An earlier release left in place would look like this run's result if this run fails.
mkdir -p "$out"
rm -f "$out/Tavro.exe" "$out/SHA256SUMS" "$out/SOURCE"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavro-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ -z "$build_dir" ]; then
    "$repo/tools/install-deps.sh"
else
    for tool in openssl osslsigncode sha256sum; do
        command -v "$tool" >/dev/null || die "$tool is missing; tools/install-deps.sh installs it"
    done
fi

# --- the certificate, checked before anything is built or signed ---------------------------------

signer=
# check_signer PEM: the signer's certificate (the first in PEM) may sign programs, today.
check_signer() {
    local pem=$1
    signer=$(openssl x509 -in "$pem" -noout -subject -nameopt oneline | sed 's/^subject=//')

    local usage
    usage=$(openssl x509 -in "$pem" -noout -ext extendedKeyUsage 2>/dev/null | sed -n '2,$p' | xargs)
    if ! grep -qw 'Code Signing' <<<"$usage"; then
        die "the certificate \"$signer\" is not a code-signing certificate: its extended key usage is" \
            "\"${usage:-absent}\", and Windows accepts an Authenticode signature only with \"Code Signing\""
    fi

    local not_before not_after
    not_before=$(openssl x509 -in "$pem" -noout -startdate | sed 's/^notBefore=//')
    not_after=$(openssl x509 -in "$pem" -noout -enddate | sed 's/^notAfter=//')
    if ! openssl x509 -in "$pem" -noout -checkend 0 >/dev/null; then
        die "the certificate \"$signer\" expired on $not_after; sign with its renewal"
    fi
    if [ "$(date -d "$not_before" +%s)" -gt "$(date +%s)" ]; then
        die "the certificate \"$signer\" is not valid before $not_before"
    fi
    echo "Certificate: \"$signer\", valid until $not_after"
}

check_pfx() {
    local log=$work/pkcs12.log pem=$work/signer.pem
    local read_pfx=(openssl pkcs12 -in "$pfx" -passin "file:$password_file" -nokeys -clcerts -out "$pem")
    if ! "${read_pfx[@]}" >"$log" 2>&1; then
        # PFX files exported by older Windows encrypt with RC2, which OpenSSL 3 keeps in its legacy provider.
        if grep -qi 'unsupported' "$log"; then
            "${read_pfx[@]}" -legacy >"$log" 2>&1 || true
        fi
        if [ ! -s "$pem" ]; then
            if grep -qiE 'mac verify|invalid password' "$log"; then
                die "wrong password: the password in $password_file does not open $pfx"
            fi
            cat "$log" >&2
            die "cannot read $pfx as a PKCS#12 certificate file"
        fi
    fi
    grep -q 'BEGIN CERTIFICATE' "$pem" || die "$pfx holds no certificate that belongs to its private key"
    check_signer "$pem"
}

# The token: OpenSSL reaches it through its PKCS#11 engine (libp11), configured in a file of this
# run's own. The PIN goes to the engine as the name of a file (the URI's pin-source) and to
# osslsigncode as -readpass: never as an argument, which any user can read in the process table.
pin=$work/pin
check_token() {
    local engine_conf=$work/openssl-pkcs11.cnf log=$work/token.log
    cat >"$engine_conf" <<EOF
openssl_conf = tavro_release
[tavro_release]
engines = tavro_engines
[tavro_engines]
pkcs11 = tavro_pkcs11
[tavro_pkcs11]
engine_id = pkcs11
MODULE_PATH = $module
init = 0
EOF
    if ! OPENSSL_CONF=/dev/null openssl engine pkcs11 >"$log" 2>&1; then
        die "OpenSSL's PKCS#11 engine is missing: install libengine-pkcs11-openssl (tools/install-deps.sh does)"
    fi

    # libp11 takes a pin-source file whole, line end and all; osslsigncode stops at the line end.
    head -n 1 "$pin_file" | tr -d '\r\n' >"$pin"
    [ -s "$pin" ] || die "the PIN file $pin_file is empty"
    local separator='?'
    case "$key" in *'?'*) separator='&' ;; esac

    # One login, to read the key's public half. Whatever fails, nothing logs in again: a token
    # counts wrong PINs and locks itself after a few. libp11 0.4 may crash on its way out after a
    # failed login; the subshell keeps the shell's report of that in the log.
    rm -f "$work/token-key.pem"
    if ! (OPENSSL_CONF=$engine_conf openssl pkey -engine pkcs11 -inform engine \
        -in "$key${separator}pin-source=file:$pin" -pubout -out "$work/token-key.pem"
    exit $?) >"$log" 2>&1 || [ ! -s "$work/token-key.pem" ]; then
        if grep -qE 'PIN (incorrect|invalid|len range)' "$log"; then
            die "wrong PIN: the PIN in $pin_file does not open the token. It was tried once and not" \
                "again, since the token locks itself after a few wrong PINs; nothing was signed"
        elif grep -q 'PIN locked' "$log"; then
            die "the token's PIN is locked after too many wrong PINs; unlock it with the token's own" \
                "tool (its PUK or SO PIN) before signing"
        elif grep -q 'not a valid PKCS#11 URI' "$log"; then
            die "--key $key is not a PKCS#11 URI (RFC 7512)"
        elif grep -q 'Unable to load PKCS#11 module' "$log"; then
            die "$module cannot be loaded as a PKCS#11 module"
        elif grep -q 'No matching initialized token' "$log"; then
            die "no token matches $key in $module: is the token plugged in, and its label right?"
        elif grep -q 'object not found' "$log"; then
            die "the token holds no private key at $key"
        fi
        sed 's/^/    /' "$log" >&2
        die "cannot read the key $key through $module"
    fi
    echo "Token: the PIN opens it, and it holds the key $key"

    openssl x509 -in "$cert" -out "$work/signer.pem" 2>"$log" ||
        die "cannot read $cert as a PEM certificate: $(head -n 1 "$log")"
    check_signer "$work/signer.pem"
    openssl x509 -in "$work/signer.pem" -noout -pubkey >"$work/cert-key.pem"
    if ! cmp -s "$work/cert-key.pem" "$work/token-key.pem"; then
        die "the certificate \"$signer\" belongs to another key than $key: its public key is not" \
            "the token key's (is the signer's certificate the first in $cert?)"
    fi
}

if [ -n "$token" ]; then
    check_token
elif [ -n "$pfx" ]; then
    check_pfx
fi

# --- the build -------------------------------------------------------------------------------------

if [ -z "$build_dir" ]; then
    (cd "$repo" && cmake --preset windows) | tee "$work/configure.log"
    build_dir=$(sed -n 's/^-- Build files have been written to: //p' "$work/configure.log" | tail -n 1)
    [ -n "$build_dir" ] || die "cannot tell where the windows preset builds"
    (cd "$repo" && cmake --build --preset windows --target Tavro)
fi
cache=$build_dir/CMakeCache.txt
[ -f "$cache" ] || die "$build_dir is not a configured build (no CMakeCache.txt)"
exe=$build_dir/window/Tavro.exe
[ -f "$exe" ] || die "$build_dir holds no window/Tavro.exe; build it first"

cache_value() {
    sed -n "s/^$1:[A-Z]*=//p" "$cache" | head -n 1
}
source_dir=$(cache_value CMAKE_HOME_DIRECTORY)

case "$(od -An -tx2 -j "$(($(od -An -tu4 -j 60 -N 4 "$exe")+4))" -N 2 "$exe" | tr -d ' ')" in
    014c) arch="32-bit" ;;
    8664) arch="64-bit" ;;
    *) arch="unknown machine" ;;
esac
echo "Releasing $exe ($arch, $(cache_value CMAKE_BUILD_TYPE))"

# --- signing and verification ----------------------------------------------------------------------

staged=$work/Tavro.exe
if [ -n "$pfx$token" ]; then
    host=$(cache_value TAVRO_SITE_HOST)
    [ -n "$host" ] || die "$cache has no TAVRO_SITE_HOST"
    product=$(sed -n 's/^ *VALUE "ProductName", "\(.*\)"[[:space:]]*$/\1/p' "$source_dir/resources/tavro.rc")
    [ -n "$product" ] || die "no ProductName in $source_dir/resources/tavro.rc"

    if [ -n "$token" ]; then
        # Debian 12's osslsigncode (2.5) reaches the token through the same OpenSSL engine.
        sign=(osslsigncode sign -pkcs11module "$module" -key "$key" -certs "$cert" -readpass "$pin")
    else
        sign=(osslsigncode sign -pkcs12 "$pfx" -readpass "$password_file")
    fi
    sign+=(-h sha256 -n "$product" -i "http://$host/" -in "$exe" -out "$staged")
    [ -z "$timestamp_url" ] || sign+=(-ts "$timestamp_url")
    if ! "${sign[@]}" >"$work/sign.log" 2>&1; then
        cat "$work/sign.log" >&2
        die "osslsigncode could not sign $exe${timestamp_url:+ (time-stamp server $timestamp_url)}"
    fi

    verify=(osslsigncode verify -in "$staged")
    [ -z "$ca_file" ] || verify+=(-CAfile "$ca_file" -TSA-CAfile "$ca_file")
    # Revocation lists are fetched by Windows when the file is run; a build machine may be offline.
    if osslsigncode verify --help 2>&1 | grep -q -- '-ignore-cdp'; then
        verify+=(-ignore-cdp)
    fi
    if ! "${verify[@]}" >"$work/verify.log" 2>&1; then
        cat "$work/verify.log" >&2
        die "the signed file does not verify${ca_file:+ against $ca_file}; nothing was written"
    fi
    if [ -n "$timestamp_url" ] && ! grep -q 'Timestamp Server Signature verification: ok' "$work/verify.log"; then
        cat "$work/verify.log" >&2
        die "the signed file carries no verified time stamp; nothing was written"
    fi
else
    cp "$exe" "$staged"
fi

# What tools/verify-release.sh needs to build the same bytes again: the commit and the site host.
commit=$(git -C "$source_dir" rev-parse --verify HEAD 2>/dev/null) || commit=
changes=
if [ -z "$commit" ]; then
    echo "warning: $source_dir is no git checkout; dist/SOURCE names no commit" >&2
elif [ -n "$(git -C "$source_dir" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    changes=yes
    echo "warning: built with uncommitted changes in $source_dir: no commit reproduces this file" >&2
fi
{
    echo "commit=$commit"
    echo "uncommitted_changes=${changes:-no}"
    echo "TAVRO_SITE_HOST=$(cache_value TAVRO_SITE_HOST)"
} >"$work/SOURCE"

cp "$staged" "$out/Tavro.exe.partial"
mv "$out/Tavro.exe.partial" "$out/Tavro.exe"
(cd "$out" && sha256sum Tavro.exe >SHA256SUMS)
cp "$work/SOURCE" "$out/SOURCE"

echo
if [ -n "$pfx$token" ]; then
    echo "Signed and verified: $out/Tavro.exe"
    echo "  signer: \"$signer\", SHA-256, \"$product\", http://$host/"
    if [ -n "$timestamp_url" ]; then
        echo "  time stamp: $timestamp_url"
    else
        echo "  no time stamp: the signature stops verifying when the certificate expires"
    fi
else
    echo "UNSIGNED: $out/Tavro.exe carries no signature. Windows will call its publisher unknown"
    echo "  and SmartScreen will stop it. Sign it with a token (--pkcs11-module, --key, --cert and"
    echo "  --pin-file) or with a PFX (--pfx and --password-file)."
fi
cat "$out/SHA256SUMS"
echo "Built from: ${commit:-(no commit)}${changes:+ with uncommitted changes} ($out/SOURCE)"
