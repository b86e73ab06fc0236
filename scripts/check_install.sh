#!/usr/bin/env bash
# Installs the program as a sysop would and checks what arrives: `cmake --install` into a
# DESTDIR, the installed program run against a copy of the example node (decoding, /Debug, the
# shell's help found in share/, the refusal without VELDMARK_HOME), the Debian package's file
# list and control fields, and the manual page's lint.
#
# Usage: scripts/check_install.sh [BUILD_DIR]   (default: build, an optimised build without
# tests, as README's first command and .ci/run configure it). Needs cmake, dpkg-dev, file, groff,
# perl and tmux.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() {
  echo "check_install: $*" >&2
  exit 1
}

cmake --build "$build" -j"$(nproc)" --target veldmark veldmark_install_files

work=$(mktemp -d)
tmux_socket="$work/tmux.socket"
cleanup() {
  # A shell still running saves its state files as the end of tmux hangs it up.
  tmux -S "$tmux_socket" kill-server 2>/dev/null || true
  for _ in $(seq 50); do rm -rf "$work" 2>/dev/null && break; sleep 0.1; done
}
trap cleanup EXIT

# What every install holds, under its prefix.
expected_files=(
  bin/veldmark
  share/doc/veldmark/README.md
  share/doc/veldmark/changelog.gz
  share/man/man1/veldmark.1.gz
  share/veldmark/AREADEFS.CTL
  share/veldmark/VELDMARK.TPL
  share/veldmark/examples/node/AREADEFS.CTL
  share/veldmark/examples/node/VELDMARK.CTL
  share/veldmark/examples/node/VELDMARK.TPL
  share/veldmark/examples/veldmark.crontab
  share/veldmark/examples/veldmark@.service
  share/veldmark/examples/veldmark@.timer
  share/veldmark/veldmark.hlp
)
expected_list() { printf "$1%s\n" "${expected_files[@]}" | sort; }

# --- cmake --install into a DESTDIR ----------------------------------------------------------
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
diff -u <(expected_list ./usr/) <(cd "$stage" && find . -type f | sort) ||
  fail "the installed files differ from the list"
veldmark="$stage/usr/bin/veldmark"

# --- the installed program on a copy of the example node, without a help file of its own ----
cp -r examples "$work/examples"
rm -f "$work/examples/node/veldmark.hlp"
perl "$work/examples/make_example_node.pl"
node="$work/examples/node"
(cd "$node" && VELDMARK_HOME=. "$veldmark" /All </dev/null >"$work/all.out") ||
  fail "/All ended with code $?"
# Found in any letter case: the settings name the download directory as out\files.
for decoded in rufiles/vmtools.zip rufiles/hello.txt rufiles/files.bbs; do
  find "$node" -type f -ipath "*/$decoded" -size +0 | grep -q . || fail "/All did not write $decoded"
done
(cd "$node" && VELDMARK_HOME=. "$veldmark" /Debug </dev/null >/dev/null) || fail "/Debug failed"
head -c 17 "$node/VELDMARK.DBG" | grep -qx "Veldmark v1.61.40" || fail "no /Debug listing"

# Without VELDMARK_HOME an installed copy refuses at once, naming the variable.
set +e
(cd "$node" && env -u VELDMARK_HOME "$veldmark" /q </dev/null >"$work/nohome.out")
code=$?
set -e
[ "$code" -eq 3 ] && grep -q "VELDMARK_HOME" "$work/nohome.out" ||
  fail "without VELDMARK_HOME: exit code $code, $(cat "$work/nohome.out")"

# F1 in the shell shows the help of share/veldmark.
screen_holds() {
  for _ in $(seq 100); do
    tmux -S "$tmux_socket" capture-pane -p -t help | grep -qF "$1" && return 0
    sleep 0.1
  done
  tmux -S "$tmux_socket" capture-pane -p -t help >&2
  return 1
}
tmux -S "$tmux_socket" new-session -d -s help -x 80 -y 25 \
  "cd '$node' && TERM=xterm-256color LANG=C.UTF-8 VELDMARK_HOME=. '$veldmark'; echo EXIT=\$?; sleep 60"
screen_holds "Области" || fail "the shell did not start"
tmux -S "$tmux_socket" send-keys -t help F1
screen_holds "Главное окно Veldmark состоит из двух панелей" || fail "F1 found no help"
tmux -S "$tmux_socket" send-keys -t help Escape
sleep 0.5
tmux -S "$tmux_socket" send-keys -t help Escape
screen_holds "Вы уверены что хотите выйти?" || fail "no question on quitting"
tmux -S "$tmux_socket" send-keys -t help Enter
screen_holds "EXIT=0" || fail "the shell did not end with code 0"

# --- the Debian package ----------------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/veldmark_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || fail "cpack did not make $deb"
diff -u <(expected_list ./usr/) \
  <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) ||
  fail "the package's files differ from the list"
# Each field read whole before it is searched (grep -q ending a pipe early fails it).
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = veldmark ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = net ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
depends=$(field Depends)
for dependency in libc6 libncursesw6; do
  grep -q "\b$dependency\b" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
description=$(field Description)
grep -q "FidoNet" <<<"$description" || fail "Description: $description"
awk 'length > 79 { exit 1 }' <<<"$description" || fail "Description lines over 79 columns"

# --- the manual page -------------------------------------------------------------------------
warnings=$(groff -ww -man -z doc/veldmark.1 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"

# The systemd units, where systemd can check them (an instance needs a name of its own).
if command -v systemd-analyze >/dev/null && [ -d /run/systemd/system ]; then
  units="$work/units"
  mkdir "$units"
  sed "s|/usr/bin/veldmark|$veldmark|" examples/systemd/veldmark@.service >"$units/veldmark@srv-fido.service"
  cp examples/systemd/veldmark@.timer "$units/veldmark@srv-fido.timer"
  (cd "$units" && systemd-analyze verify --man=no ./veldmark@srv-fido.service ./veldmark@srv-fido.timer) ||
    fail "systemd-analyze"
fi

echo "check_install: installed, ran, packaged ($deb) and linted"
