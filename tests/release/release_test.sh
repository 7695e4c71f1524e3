#!/usr/bin/env bash
# Tests of tools/release.sh against a throwaway certificate authority made here with openssl, in
# a temporary folder removed afterwards: nothing secret lives in the repository.
#
#   release_test.sh CASE --source DIR --build-dir DIR --tavro EXE [-- E2E-RUN-COMMAND...]
#
# CASE is unsigned, same-build, reproducible, signed, timestamped, signed-launch, token-signed,
# token-pin-hidden, or one of the refusals listed in refusal_cases and token_refusal_cases below.
set -uo pipefail

case_name=${1:?case}
shift
source_dir='' build_dir='' tavro=''
while [ $# -gt 0 ]; do
    case "$1" in
        --source) source_dir=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        --tavro) tavro=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
e2e_run=("$@")
release=$source_dir/tools/release.sh

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    if [ "$failures" -gt 0 ]; then
        echo "$case_name: $failures check(s) failed" >&2
        exit 1
    fi
    echo "$case_name: passed"
    exit 0
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavro-release-test.XXXXXX")
tsa_pid=''
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    [ -z "$tsa_pid" ] || kill "$tsa_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
out=$work/dist

# --- a throwaway PKI ------------------------------------------------------------------------------

# make_ca NAME: a self-signed root in $work/NAME/.
make_ca() {
    local dir=$work/$1
    mkdir -p "$dir/issued"
    : >"$dir/index.txt"
    echo 1000 >"$dir/serial"
    cat >"$dir/ca.cnf" <<EOF
[ ca ]
default_ca = this_ca
[ this_ca ]
database = $dir/index.txt
new_certs_dir = $dir/issued
serial = $dir/serial
default_md = sha256
policy = any_name
unique_subject = no
[ any_name ]
commonName = supplied
EOF
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/ca.key" -out "$dir/ca.pem" -days 30 \
        -subj "/CN=Tavro Release Test $1" -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null || {
        echo "cannot make the test CA $1" >&2
        exit 2
    }
}

# issue CA NAME USAGE START END: a key and certificate NAME.pem signed by CA, with the extended key
# usage USAGE, valid from START to END (openssl ca dates, YYYYMMDDHHMMSSZ).
issue() {
    local ca=$work/$1 name=$2 usage=$3 start=$4 end=$5
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' \
        "$usage" >"$work/$name.ext"
    if ! openssl req -newkey rsa:2048 -nodes -keyout "$work/$name.key" -out "$work/$name.csr" \
            -subj "/CN=Tavro Release Test $name" 2>/dev/null ||
        ! openssl ca -batch -notext -config "$ca/ca.cnf" -cert "$ca/ca.pem" -keyfile "$ca/ca.key" \
            -in "$work/$name.csr" -out "$work/$name.pem" -extfile "$work/$name.ext" \
            -startdate "$start" -enddate "$end" >/dev/null 2>&1; then
        echo "cannot issue the test certificate $name" >&2
        exit 2
    fi
}

# make_pfx NAME PASSWORD CA: NAME.pfx with its chain, locked by PASSWORD kept in NAME.password.
make_pfx() {
    printf '%s\n' "$2" >"$work/$1.password"
    openssl pkcs12 -export -inkey "$work/$1.key" -in "$work/$1.pem" -certfile "$work/$3/ca.pem" \
        -passout "file:$work/$1.password" -out "$work/$1.pfx" || {
        echo "cannot make $1.pfx" >&2
        exit 2
    }
}

utc() { date -u -d "$1" +%Y%m%d%H%M%SZ; }

# A publisher's code-signing certificate under the root "ca", valid now.
make_publisher() {
    make_ca ca
    issue ca publisher codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
    make_pfx publisher 'correct horse battery staple' ca
}

# --- checks ---------------------------------------------------------------------------------------

# Later osslsigncodes fetch each certificate's revocation list while verifying, unless told not to
# with -ignore-cdp; Debian 12's (2.5) fetches none and has no such option. The test certificates
# name no distribution point, so either way nothing is fetched.
offline_verify=()
if osslsigncode verify --help 2>&1 | grep -q -- '-ignore-cdp'; then
    offline_verify=(-ignore-cdp)
fi

# run_release LOG ARGS...: runs the release script, keeps its output in LOG, returns its code.
run_release() {
    local log=$1
    shift
    "$release" --out "$out" "$@" >"$log" 2>&1
}

expect_output() {
    local log=$1 pattern=$2 what=$3
    grep -qE -- "$pattern" "$log" || {
        fail "$what: expected output matching /$pattern/, got:"
        sed 's/^/    | /' "$log" >&2
    }
}

expect_verifies() {
    local file=$1 what=$2
    shift 2
    if ! osslsigncode verify -CAfile "$work/ca/ca.pem" "${offline_verify[@]}" "$@" -in "$file" >"$work/verify.log" 2>&1; then
        fail "$what: expected $file to verify against the test CA, osslsigncode says:"
        sed 's/^/    | /' "$work/verify.log" >&2
    fi
}

expect_same_bytes() {
    local expected=$1 actual=$2 what=$3
    if ! cmp -s "$expected" "$actual"; then
        fail "$what: expected the bytes of $expected, got $actual ($(stat -c %s "$expected") vs $(stat -c %s "$actual") bytes, first difference: $(cmp "$expected" "$actual" 2>&1))"
    fi
}

expect_sums_match() {
    local sums
    sums=$( (cd "$out" && sha256sum -c SHA256SUMS) 2>&1) || fail "SHA256SUMS: expected 'Tavro.exe: OK', got: $sums"
}

# flip_byte FILE OFFSET: changes the byte at OFFSET into its complement.
flip_byte() {
    local byte
    byte=$(od -An -tu1 -j "$2" -N 1 "$1" | tr -d ' ')
    # shellcheck disable=SC2059
    printf "\\$(printf %03o $((byte ^ 255)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

cache_value() {
    sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt" | head -n 1
}

# --- cases ----------------------------------------------------------------------------------------

case_unsigned() {
    run_release "$work/release.log" --build-dir "$build_dir"
    local rc=$?
    [ "$rc" -eq 0 ] || fail "unsigned release: expected exit 0, got $rc"
    expect_output "$work/release.log" '^UNSIGNED: .*carries no signature' "unsigned release"
    expect_same_bytes "$tavro" "$out/Tavro.exe" "unsigned release"
    expect_sums_match
    if osslsigncode verify -in "$out/Tavro.exe" >"$work/verify.log" 2>&1; then
        fail "unsigned release: expected osslsigncode to find no signature, it verified"
    fi
}

case_same_build() {
    # Without --build-dir the script configures and builds the windows preset itself.
    run_release "$work/release.log"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "release from the windows preset: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    local shipped
    shipped=$(sed -n 's/^Releasing \(.*\) ([^)]*)$/\1/p' "$work/release.log")
    # Another build folder builds the same bytes too: the link stamps no time.
    [ "$(realpath "$shipped")" = "$(realpath "$tavro")" ] ||
        echo "the windows preset builds $shipped, these tests run on $tavro"
    expect_same_bytes "$tavro" "$out/Tavro.exe" "release from the windows preset"
}

# The tested build's sources, committed in a repository of their own (the working tree may hold
# changes not committed yet), signed and renamed for a customer: tools/verify-release.sh builds that
# commit again in a fresh clone, in another folder at another time, and finds the same bytes.
case_reproducible() {
    local snapshot=$work/snapshot-of-the-tested-sources
    mkdir "$snapshot"
    # Tracked files deleted in the working tree are left out, as the tested build left them out.
    if ! (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
            while IFS= read -r -d '' path; do
                [ ! -e "$path" ] || cp --parents -- "$path" "$snapshot/"
            done) ||
        ! git -C "$snapshot" init --quiet ||
        ! git -C "$snapshot" add --all ||
        ! git -C "$snapshot" -c user.name=test -c user.email=test@invalid commit --quiet -m snapshot; then
        fail "cannot commit a snapshot of $source_dir"
        return
    fi
    local commit
    commit=$(git -C "$snapshot" rev-parse HEAD)

    make_publisher
    run_release "$work/release.log" --pfx "$work/publisher.pfx" --password-file "$work/publisher.password" \
        --ca-file "$work/ca/ca.pem" --build-dir "$build_dir"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "signed release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    expect_output "$out/SOURCE" "^commit=[0-9a-f]{40}\$" "dist/SOURCE"
    expect_output "$out/SOURCE" "^TAVRO_SITE_HOST=$(cache_value TAVRO_SITE_HOST)\$" "dist/SOURCE"

    mkdir "$work/customer"
    cp "$out/Tavro.exe" "$work/customer/Tavro_12345.exe"
    "$source_dir/tools/verify-release.sh" "$work/customer/Tavro_12345.exe" "$commit" --repo "$snapshot" \
        --site-host "$(cache_value TAVRO_SITE_HOST)" >"$work/verify-release.log" 2>&1
    rc=$?
    sed 's/^/    | /' "$work/verify-release.log"
    [ "$rc" -eq 0 ] || fail "verify-release: expected exit 0 (the same bytes), got $rc"
    expect_output "$work/verify-release.log" "^SAME: .*Tavro_12345.exe, less its signature, is byte for byte the build of $commit\$" \
        "verify-release"
}


case_signed() {
    make_publisher
    # openssl and osslsigncode as seen by the script: each call's arguments are logged.
    local tool real
    mkdir "$work/shims"
    for tool in openssl osslsigncode; do
        real=$(command -v "$tool")
        printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\nexec "%s" "$@"\n' "$work/argv.log" "$real" >"$work/shims/$tool"
        chmod +x "$work/shims/$tool"
    done
    PATH=$work/shims:$PATH run_release "$work/release.log" --pfx "$work/publisher.pfx" \
        --password-file "$work/publisher.password" --ca-file "$work/ca/ca.pem" --build-dir "$build_dir"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "signed release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    expect_output "$work/release.log" '^Signed and verified: ' "signed release"
    expect_output "$work/argv.log" '^sign -pkcs12 ' "command lines of openssl and osslsigncode"
    if grep -F -- "$(head -n 1 "$work/publisher.password")" "$work/argv.log"; then
        fail "the password appears on a command line (above)"
    fi

    local signed=$out/Tavro.exe
    expect_verifies "$signed" "valid signature"
    local product host
    product=$(grep -o '"ProductName", "[^"]*"' "$source_dir/resources/tavro.rc" | cut -d'"' -f4)
    host=$(cache_value TAVRO_SITE_HOST)
    expect_output "$work/verify.log" '^Message digest algorithm *: SHA256' "signature digest"
    expect_output "$work/verify.log" "Text description: $product\$" "signature description"
    expect_output "$work/verify.log" "URL description: http://$host/\$" "signature URL"
    expect_sums_match

    # The signature is the only thing added to the tested build.
    osslsigncode remove-signature -in "$signed" -out "$work/stripped.exe" >/dev/null 2>&1 ||
        fail "cannot remove the signature from $signed"
    expect_same_bytes "$tavro" "$work/stripped.exe" "signed release without its signature"

    cp "$signed" "$work/tampered.exe"
    flip_byte "$work/tampered.exe" $(($(stat -c %s "$signed") / 2))
    if osslsigncode verify -CAfile "$work/ca/ca.pem" "${offline_verify[@]}" -in "$work/tampered.exe" >"$work/tampered.log" 2>&1; then
        fail "tamper: expected one changed byte to fail verification, it verified"
    fi
    expect_output "$work/tampered.log" 'MISMATCH' "tamper"

    mkdir "$work/customer"
    cp "$signed" "$work/customer/Tavro_777.exe"
    expect_verifies "$work/customer/Tavro_777.exe" "rename to Tavro_777.exe"
}

case_timestamped() {
    make_publisher
    issue ca tsa critical,timeStamping "$(utc '-1 day')" "$(utc '+30 days')"
    cat >"$work/tsa.cnf" <<EOF
[ tsa ]
default_tsa = this_tsa
[ this_tsa ]
serial = $work/tsa.serial
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
ess_cert_id_chain = no
tsa_name = no
EOF
    echo 01 >"$work/tsa.serial"
    python3 "$(dirname "$0")/timestamp_server.py" "$work/tsa.cnf" "$work/tsa.key" "$work/tsa.pem" \
        "$work/ca/ca.pem" >"$work/tsa.port" 2>"$work/tsa.log" &
    tsa_pid=$!
    local port='' i
    for i in $(seq 50); do
        port=$(cat "$work/tsa.port")
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { fail "the test time-stamp server did not start: $(cat "$work/tsa.log")"; return; }

    run_release "$work/release.log" --pfx "$work/publisher.pfx" --password-file "$work/publisher.password" \
        --ca-file "$work/ca/ca.pem" --timestamp-url "http://127.0.0.1:$port/" --build-dir "$build_dir"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "time-stamped release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    expect_output "$work/release.log" "time stamp: http://127.0.0.1:$port/" "time-stamped release"
    expect_verifies "$out/Tavro.exe" "time-stamped signature" -TSA-CAfile "$work/ca/ca.pem"
    expect_output "$work/verify.log" 'Timestamp Server Signature verification: ok' "time stamp"
    # osslsigncode 2.5 names the time stamp's signer only by issuer and serial number.
    local tsa_serial
    tsa_serial=$(openssl x509 -in "$work/tsa.pem" -noout -serial | sed 's/^serial=//')
    expect_output "$work/verify.log" "^[[:space:]]*Serial ?: $tsa_serial\$" "time-stamp signer"
}

# Each refusal: how its certificate is made, the arguments, and the message it must give.
refusal_cases() {
    cat <<'EOF'
wrong-password|the password in .*wrong-password.password does not open
no-code-signing|is not a code-signing certificate: its extended key usage is "TLS Web Server Authentication"
expired|"CN = Tavro Release Test expired" expired on Jan  1 00:00:00 2025 GMT
not-yet-valid|"CN = Tavro Release Test not-yet-valid" is not valid before
untrusted-root|the signed file does not verify against .*other/ca.pem; nothing was written
unreachable-timestamp|osslsigncode could not sign .*time-stamp server http://127.0.0.1:9/
EOF
}

case_refusal() {
    local name=$1 pattern extra=()
    pattern=$(refusal_cases | sed -n "s/^$name|//p")
    [ -n "$pattern" ] || { echo "no refusal case $name" >&2; exit 2; }
    make_ca ca
    case "$name" in
        wrong-password)
            issue ca "$name" codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
            make_pfx "$name" 'the real one' ca
            printf 'a guess\n' >"$work/$name.password" ;;
        no-code-signing)
            issue ca "$name" serverAuth "$(utc '-1 day')" "$(utc '+30 days')"
            make_pfx "$name" secret ca ;;
        expired)
            issue ca "$name" codeSigning 20240101000000Z 20250101000000Z
            make_pfx "$name" secret ca ;;
        not-yet-valid)
            issue ca "$name" codeSigning "$(utc '+10 days')" "$(utc '+40 days')"
            make_pfx "$name" secret ca ;;
        untrusted-root)
            issue ca "$name" codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
            make_pfx "$name" secret ca
            make_ca other
            extra=(--ca-file "$work/other/ca.pem") ;;
        unreachable-timestamp)
            issue ca "$name" codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
            make_pfx "$name" secret ca
            extra=(--timestamp-url http://127.0.0.1:9/) ;;
    esac
    # A release left from an earlier run must not survive a refused one.
    mkdir -p "$out"
    echo stale >"$out/Tavro.exe"
    echo stale >"$out/SHA256SUMS"

    run_release "$work/release.log" --pfx "$work/$name.pfx" --password-file "$work/$name.password" \
        --build-dir "$build_dir" "${extra[@]}"
    local rc=$?
    [ "$rc" -ne 0 ] || fail "$name: expected the release to fail, it exited 0"
    expect_output "$work/release.log" "^release: .*$pattern" "$name"
    grep '^release: ' "$work/release.log"
    local left
    left=$(cd "$out" && ls -A)
    [ -z "$left" ] || fail "$name: expected an empty output folder, found: $left"
}

case_signed_launch() {
    [ ${#e2e_run[@]} -gt 0 ] || { echo "signed-launch needs the end-to-end run command after --" >&2; exit 2; }
    make_publisher
    run_release "$work/release.log" --pfx "$work/publisher.pfx" --password-file "$work/publisher.password" \
        --ca-file "$work/ca/ca.pem" --build-dir "$build_dir"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "signed release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; finish; }
    grep '^Releasing ' "$work/release.log"
    expect_verifies "$out/Tavro.exe" "signed build"

    # The same end-to-end run as the tested build's, with the signed file in its place.
    local args=() swapped=0 i
    for ((i = 0; i < ${#e2e_run[@]}; i++)); do
        args+=("${e2e_run[i]}")
        if [ "${e2e_run[i]}" = --tavro ] && [ $((i + 1)) -lt ${#e2e_run[@]} ]; then
            args+=("$out/Tavro.exe")
            i=$((i + 1))
            swapped=1
        fi
    done
    [ "$swapped" -eq 1 ] || { fail "the end-to-end run command takes no --tavro EXE: ${e2e_run[*]}"; finish; }
    "${args[@]}" || fail "the signed build failed the end-to-end case (exit $?)"
}

# --- a token of the test's own ----------------------------------------------------------------------

# SoftHSM2 stands in for the publisher's USB token or HSM: its tokens live in $work/tokens, found
# through SOFTHSM2_CONF, so the machine's own tokens are never touched.
# A PIN of this test's own: the process watch below reads every command line on the machine, and
# another test's token set-up (in this run or a second one beside it) puts its PIN on softhsm2-util's.
token_pin=$(od -An -N6 -tu2 /dev/urandom | tr -s ' ' '-' | sed 's/^-//')-test-pin
token_module=
make_token() {
    local candidate
    for candidate in /usr/lib/softhsm/libsofthsm2.so /usr/lib/*/softhsm/libsofthsm2.so; do
        [ -r "$candidate" ] && token_module=$candidate && break
    done
    if [ -z "$token_module" ] || ! command -v softhsm2-util >/dev/null; then
        echo "SoftHSM2 is missing (Debian package softhsm2); tools/install-deps.sh installs it" >&2
        exit 2
    fi
    mkdir -p "$work/tokens"
    printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' "$work/tokens" \
        >"$work/softhsm2.conf"
    export SOFTHSM2_CONF=$work/softhsm2.conf
    printf '%s\n' "$token_pin" >"$work/token.pin"
    # Setting the token up puts its PIN on softhsm2-util's command line; only the release run's
    # command lines are watched.
    softhsm2-util --init-token --free --label tavro-test --so-pin 13572468 --pin "$token_pin" >/dev/null || {
        echo "cannot make the test token" >&2
        exit 2
    }
}

# token_key NAME ID: NAME.key into the test token, as the private key labelled NAME.
token_key() {
    softhsm2-util --import "$work/$1.key" --token tavro-test --label "$1" --id "$2" --pin "$token_pin" \
        >/dev/null || {
        echo "cannot import $1.key into the test token" >&2
        exit 2
    }
}

# A publisher whose key lives in the token, with its certificate chain as the CA hands it over.
make_token_publisher() {
    make_ca ca
    issue ca publisher codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
    make_token
    token_key publisher 01
    cat "$work/publisher.pem" "$work/ca/ca.pem" >"$work/publisher-chain.pem"
}

token_key_uri='pkcs11:token=tavro-test;object=publisher;type=private'

# token_release LOG [ARGS...]: the release signed by the test token's publisher key.
token_release() {
    local log=$1
    shift
    run_release "$log" --pkcs11-module "$token_module" --key "$token_key_uri" \
        --cert "$work/publisher-chain.pem" --pin-file "$work/token.pin" --build-dir "$build_dir" "$@"
}

# log_command_lines: openssl and osslsigncode as the release script calls them, each call's
# arguments one line of $work/argv.log.
log_command_lines() {
    local tool real
    mkdir "$work/shims"
    for tool in openssl osslsigncode; do
        real=$(command -v "$tool")
        printf '#!/bin/sh\nprintf "%%s %%s\\n" "%s" "$*" >>"%s"\nexec "%s" "$@"\n' \
            "$tool" "$work/argv.log" "$real" >"$work/shims/$tool"
        chmod +x "$work/shims/$tool"
    done
    : >"$work/argv.log"
    PATH=$work/shims:$PATH
}

case_token_signed() {
    make_token_publisher
    log_command_lines
    token_release "$work/release.log" --ca-file "$work/ca/ca.pem"
    local rc=$?
    [ "$rc" -eq 0 ] || { fail "token-signed release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    expect_output "$work/release.log" '^Signed and verified: ' "token-signed release"
    expect_output "$work/release.log" '^  signer: "CN = Tavro Release Test publisher"' "token-signed release"
    expect_output "$work/argv.log" '^osslsigncode sign -pkcs11module ' "command lines of openssl and osslsigncode"
    if grep -F -- "$token_pin" "$work/argv.log"; then
        fail "the PIN appears on a command line (above)"
    fi

    expect_verifies "$out/Tavro.exe" "token signature"
    expect_output "$work/verify.log" '^Message digest algorithm *: SHA256' "signature digest"
    expect_output "$work/verify.log" 'Subject: /CN=Tavro Release Test publisher' "signer"
    expect_sums_match
    osslsigncode remove-signature -in "$out/Tavro.exe" -out "$work/stripped.exe" >/dev/null 2>&1 ||
        fail "cannot remove the signature from $out/Tavro.exe"
    expect_same_bytes "$tavro" "$work/stripped.exe" "token-signed release without its signature"
}

# Every process's command line, read from /proc as fast as it goes while the release runs: the PIN
# must be on none, and the watch must have seen the signing itself, or it proves nothing.
case_token_pin_hidden() {
    make_token_publisher
    python3 - "$work/watching" "$work/command-lines.log" <<'EOF' &
import os, sys
flag, log = sys.argv[1], sys.argv[2]
seen = set()
open(flag, "w").close()
while os.path.exists(flag):
    for pid in os.listdir("/proc"):
        if pid.isdigit():
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    seen.add(f.read().replace(b"\0", b" ").decode(errors="replace").strip())
            except OSError:
                pass
with open(log, "w") as f:
    f.write("\n".join(sorted(seen)) + "\n")
EOF
    local watcher=$! i
    for i in $(seq 50); do
        [ -e "$work/watching" ] && break
        sleep 0.1
    done
    token_release "$work/release.log" --ca-file "$work/ca/ca.pem"
    local rc=$?
    rm -f "$work/watching"
    wait "$watcher"
    [ "$rc" -eq 0 ] || { fail "token-signed release: expected exit 0, got $rc:"; sed 's/^/    | /' "$work/release.log" >&2; return; }
    expect_output "$work/command-lines.log" '^osslsigncode sign -pkcs11module ' "the process watch"
    expect_output "$work/command-lines.log" "$token_key_uri" "the process watch"
    if grep -F -- "$token_pin" "$work/command-lines.log"; then
        fail "the PIN appears on a command line in the process table (above)"
    fi
}

# Each refusal of a token signing: how it is set up, and the message it must give.
token_refusal_cases() {
    cat <<'EOF'
token-wrong-pin|wrong PIN: the PIN in .*token.pin does not open the token
token-no-code-signing|the certificate "CN = Tavro Release Test publisher" is not a code-signing certificate: its extended key usage is "TLS Web Server Authentication"
token-other-key|the certificate "CN = Tavro Release Test other" belongs to another key than pkcs11:token=tavro-test;object=publisher;type=private
token-no-such-key|the token holds no private key at pkcs11:token=tavro-test;object=nobody;type=private
EOF
}

case_token_refusal() {
    local name=$1 pattern
    pattern=$(token_refusal_cases | sed -n "s/^$name|//p")
    [ -n "$pattern" ] || { echo "no refusal case $name" >&2; exit 2; }
    make_token_publisher
    case "$name" in
        token-wrong-pin)
            printf 'a guess\n' >"$work/token.pin" ;;
        token-no-code-signing)
            # The same key, certified for TLS servers only.
            printf 'basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$work/tls.ext"
            openssl ca -batch -notext -config "$work/ca/ca.cnf" -cert "$work/ca/ca.pem" -keyfile "$work/ca/ca.key" \
                -in "$work/publisher.csr" -out "$work/publisher-chain.pem" -extfile "$work/tls.ext" \
                -startdate "$(utc '-1 day')" -enddate "$(utc '+30 days')" >/dev/null 2>&1 ||
                { echo "cannot issue the TLS certificate" >&2; exit 2; } ;;
        token-other-key)
            issue ca other codeSigning "$(utc '-1 day')" "$(utc '+30 days')"
            cat "$work/other.pem" "$work/ca/ca.pem" >"$work/publisher-chain.pem" ;;
        token-no-such-key)
            token_key_uri='pkcs11:token=tavro-test;object=nobody;type=private' ;;
    esac
    mkdir -p "$out"
    echo stale >"$out/Tavro.exe"
    log_command_lines
    token_release "$work/release.log"
    local rc=$?
    [ "$rc" -ne 0 ] || fail "$name: expected the release to fail, it exited 0"
    expect_output "$work/release.log" "^release: $pattern" "$name"
    grep '^release: ' "$work/release.log"
    local left
    left=$(cd "$out" && ls -A)
    [ -z "$left" ] || fail "$name: expected an empty output folder, found: $left"
    if grep '^osslsigncode ' "$work/argv.log"; then
        fail "$name: expected no signing after the refusal, osslsigncode ran (above)"
    fi
    # A token counts wrong PINs: the script must log in once and stop.
    local logins
    logins=$(grep -c 'pin-source=' "$work/argv.log")
    [ "$logins" -eq 1 ] || fail "$name: expected one login to the token, counted $logins"
}

[ -x "$release" ] || { echo "no $release" >&2; exit 2; }
[ -f "$tavro" ] || { echo "no tested build $tavro" >&2; exit 2; }

case "$case_name" in
    unsigned) case_unsigned ;;
    same-build) case_same_build ;;
    reproducible) case_reproducible ;;
    signed) case_signed ;;
    timestamped) case_timestamped ;;
    signed-launch) case_signed_launch ;;
    token-signed) case_token_signed ;;
    token-pin-hidden) case_token_pin_hidden ;;
    token-*) case_token_refusal "$case_name" ;;
    *) case_refusal "$case_name" ;;
esac
finish
