#!/usr/bin/env bash
# Says whether a Tavro.exe, under whatever name a customer holds it (Tavro_12345.exe), is the build
# of a commit: builds that commit in a fresh temporary clone (windows preset, Tavro target only) and
# compares the result with the file less its Authenticode signature, byte for byte.
#
#   tools/verify-release.sh FILE [COMMIT] [--site-host HOST] [--repo DIR]
#
#   COMMIT            default: the commit dist/SOURCE records (tools/release.sh writes it), else HEAD
#   --site-host HOST  the TAVRO_SITE_HOST the release was built with; default: the one dist/SOURCE
#                     records, else the build's default
#   --repo DIR        the git repository to clone (default: this one)
#
# Exit status: 0 the same bytes, 1 different, 2 could not tell. The signature itself is not judged
# here: `osslsigncode verify -in FILE` does that.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)

die() {
    echo "verify-release: $*" >&2
    exit 2
}

file='' commit='' site_host='' clone_from=$repo
while [ $# -gt 0 ]; do
    case "$1" in
        --site-host | --repo)
            [ $# -ge 2 ] || die "$1 needs a value"
            if [ "$1" = --repo ]; then clone_from=$2; else site_host=$2; fi
            shift 2 ;;
        -*) die "unknown option $1 (see the top of $0)" ;;
        *)
            if [ -z "$file" ]; then file=$1
            elif [ -z "$commit" ]; then commit=$1
            else die "one FILE and at most one COMMIT (see the top of $0)"
            fi
            shift ;;
    esac
done
[ -n "$file" ] || die "which file? (see the top of $0)"
[ -r "$file" ] || die "cannot read $file"
for tool in git cmake osslsigncode cmp od; do
    command -v "$tool" >/dev/null || die "$tool is missing; tools/install-deps.sh installs it"
done

recorded() {  # KEY: its value in dist/SOURCE, if that file is there
    [ -r "$repo/dist/SOURCE" ] && sed -n "s/^$1=//p" "$repo/dist/SOURCE" | head -n 1
    return 0
}
[ -n "$commit" ] || commit=$(recorded commit)
[ -n "$commit" ] || commit=HEAD
[ -n "$site_host" ] || site_host=$(recorded TAVRO_SITE_HOST)
sha=$(git -C "$clone_from" rev-parse --verify --quiet "$commit^{commit}") || die "no commit $commit in $clone_from"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavro-verify.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The file as built: an Authenticode signature is appended at the place the PE header's security
# directory (data directory 4) names; osslsigncode takes it out and restores the checksum.
pe=$(od -An -tu4 -j 60 -N 4 "$file" | tr -d ' ')
case "$(od -An -tu2 -j $((pe + 24)) -N 2 "$file" | tr -d ' ')" in
    267) security=$((pe + 24 + 96 + 4 * 8)) ;;   # PE32
    523) security=$((pe + 24 + 112 + 4 * 8)) ;;  # PE32+
    *) die "$file is not a Windows program" ;;
esac
if [ "$(od -An -tu4 -j $((security + 4)) -N 4 "$file" | tr -d ' ')" -ne 0 ]; then
    osslsigncode remove-signature -in "$file" -out "$work/unsigned.exe" >"$work/remove.log" 2>&1 || {
        cat "$work/remove.log" >&2
        die "cannot remove the signature from $file"
    }
    what="$file, less its signature,"
else
    cp "$file" "$work/unsigned.exe"
    what="$file (unsigned)"
fi

echo "Building $sha${site_host:+ for $site_host} in a fresh clone of $clone_from"
# --shared borrows the objects, so a commit no branch holds any more is still found.
git clone --quiet --shared --no-checkout "$clone_from" "$work/source"
git -C "$work/source" -c advice.detachedHead=false checkout --quiet "$sha"
configure=(cmake --preset windows)
[ -z "$site_host" ] || configure+=("-DTAVRO_SITE_HOST=$site_host")
if ! (cd "$work/source" && "${configure[@]}" && cmake --build --preset windows --target Tavro) \
        >"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log" >&2
    die "cannot build $sha"
fi
built=$work/source/build/windows/window/Tavro.exe

if cmp -s "$built" "$work/unsigned.exe"; then
    echo "SAME: $what is byte for byte the build of $sha"
    exit 0
fi
echo "DIFFERENT: $what is not the build of $sha" \
    "($(stat -c %s "$work/unsigned.exe") vs $(stat -c %s "$built") bytes, first difference at" \
    "$(cmp "$work/unsigned.exe" "$built" 2>&1 | sed -n 's/.* differ: \(byte [0-9]*\).*/\1/p;s/.*EOF on .*/the end of the shorter/p'))"
exit 1
