#!/usr/bin/env bash
# Checks the packages scripts/package.sh wrote into build/, without installing
# them: their files and dependencies, a prediction by an unprivileged user
# from the unpacked tree (byte-identical to the build tree's), the man pages,
# the desktop entry and metainfo, and lintian (no error).
set -euo pipefail
cd "$(dirname "$0")/.."

cli=$(ls build/velmora-cli_*_amd64.deb)
gui=$(ls build/velmora_*_amd64.deb)
version=$(dpkg-deb -f "$cli" Version)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() { echo "check-packages: $*" >&2; exit 1; }

# The files each package must hold, and what it must not.
expect_files() {
  local package=$1; shift
  local listing
  listing=$(dpkg-deb -c "$package" | awk '{ print $6 $7 $8 }')
  for path in "$@"; do
    grep -qxF "$path" <<<"$listing" || fail "$(basename "$package") lacks $path"
  done
  ! grep -q '/tmp/\?$' <<<"$listing" || fail "$(basename "$package") ships a tmp/ folder"
}
expect_files "$cli" ./usr/bin/velmora-cli-\>../lib/velmora/velmora-cli ./usr/lib/velmora/velmora-cli \
  ./usr/lib/velmora/lib/miranda ./usr/lib/velmora/perlbin/targetscan_60 ./usr/lib/velmora/lib/MANIFEST \
  ./usr/lib/velmora/lib/mulnum.txt ./usr/lib/velmora/lib/nor_mir.txt ./usr/lib/velmora/lib/disease_mirset.txt \
  ./usr/lib/velmora/lib/small_mirs.txt ./usr/lib/velmora/lib/hsa_mir_seed.txt ./usr/lib/velmora/lib/description.txt \
  ./usr/lib/velmora/lib/mirbase_mature.fa \
  ./usr/share/velmora/workflow/Snakefile ./usr/share/man/man1/velmora-cli.1.gz \
  ./usr/share/doc/velmora-cli/copyright ./usr/share/doc/velmora-cli/changelog.gz
expect_files "$gui" ./usr/bin/velmora-\>../lib/velmora/velmora ./usr/lib/velmora/velmora \
  ./usr/share/applications/velmora.desktop ./usr/share/metainfo/org.velmora.Velmora.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/velmora.svg ./usr/share/icons/hicolor/48x48/apps/velmora.png \
  ./usr/share/man/man1/velmora.1.gz ./usr/share/doc/velmora/copyright

cli_depends=$(dpkg-deb -f "$cli" Depends)
gui_depends=$(dpkg-deb -f "$gui" Depends)
! grep -qi qt <<<"$cli_depends" || fail "velmora-cli depends on Qt: $cli_depends"
grep -q "libc6" <<<"$cli_depends" || fail "velmora-cli's dependencies were not derived: $cli_depends"
grep -qF "velmora-cli (= $version)" <<<"$gui_depends" || fail "velmora does not depend on velmora-cli $version"
grep -q "libqt6widgets6" <<<"$gui_depends" || fail "velmora lacks its Qt dependency: $gui_depends"
[ "$(dpkg-deb -f "$cli" Suggests)" = snakemake ] || fail "velmora-cli does not suggest snakemake"

# Unpacked, not installed; run by nobody with a home of its own.
root=$scratch/root
dpkg-deb -x "$cli" "$root"
dpkg-deb -x "$gui" "$root"
chmod 755 "$root"
mkdir "$scratch/home"
cp ../shared/data/lncrna_small.fa "$scratch/small.fa"
chmod 644 "$scratch/small.fa"
chown nobody "$scratch/home"
as_nobody() { runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$scratch/home" "$@"; }

[ "$(as_nobody "$root/usr/bin/velmora-cli" --version)" = "velmora-cli $version" ] || fail "velmora-cli --version"
[ "$(as_nobody "$root/usr/bin/velmora" --version)" = "velmora $version" ] || fail "velmora --version"
as_nobody "$root/usr/bin/velmora-cli" predict --option union "$scratch/small.fa" 2>"$scratch/log" ||
  fail "the unpacked velmora-cli failed: $(cat "$scratch/log")"
workspace=$scratch/home/.local/state/velmora/tmp
grep -qF "$workspace" "$scratch/log" || fail "the run's log does not name its workspace $workspace"
build/velmora/velmora-cli predict --option union --workdir "$scratch/tree" "$scratch/small.fa" 2>/dev/null
cmp "$workspace/result.xls" "$scratch/tree/result.xls" || fail "the package's result.xls differs from the build tree's"

for page in velmora-cli velmora; do
  text=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>"$scratch/man")
  [ ! -s "$scratch/man" ] || fail "man $page: $(cat "$scratch/man")"
  grep -q "EXIT STATUS\|SEE ALSO" <<<"$text" || fail "man $page lacks its hand-written sections"
done
man -l "$root/usr/share/man/man1/velmora-cli.1.gz" 2>/dev/null | grep -q -- "--workdir" ||
  fail "man velmora-cli does not document the subcommands' options"

desktop-file-validate "$root/usr/share/applications/velmora.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.velmora.Velmora.metainfo.xml" >/dev/null
lintian --fail-on error --suppress-tags-from-file /dev/null "$cli" "$gui"
echo "packages: $(basename "$cli") and $(basename "$gui") checked"
