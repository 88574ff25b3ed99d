#!/usr/bin/env bash
# Makes the Debian package from a build tree into a temporary folder, and checks
# what a user gets from it: the files in their places, the dependencies, the
# programs answering --version and --help without a display, a first start, and
# the freedesktop validators where they are installed.
# Usage: check-package.sh BUILD-FOLDER VERSION SOURCE-FOLDER
set -euo pipefail
build="$1"
version="$2"
source="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/wetter-package-XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

arch="$(dpkg --print-architecture)"
(cd "$build" && cpack --config CPackConfig.cmake -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
}
deb="$work/out/wetter_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Contents: every path the package must hold, binaries executable by all.
dpkg-deb -c "$deb" >"$work/contents"
expect_path() {
  grep -Eq "^$2 .* \./$1\$" "$work/contents" || fail "missing or wrong mode: $2 /$1"
}
expect_path usr/bin/wetter '-rwxr-xr-x'
expect_path usr/bin/orbsim '-rwxr-xr-x'
expect_path usr/share/applications/de.norvika.wetter.desktop '-rw-r--r--'
expect_path usr/share/metainfo/de.norvika.wetter.metainfo.xml '-rw-r--r--'
expect_path usr/share/icons/hicolor/scalable/apps/de.norvika.wetter.svg '-rw-r--r--'
expect_path usr/share/man/man1/wetter.1.gz '-rw-r--r--'
expect_path usr/share/man/man1/orbsim.1.gz '-rw-r--r--'
expect_path usr/share/wetter/wetterunit.ini '-rw-r--r--'
for unit in "$source"/*.service; do
  [ -e "$unit" ] || continue
  name="$(basename "$unit")"
  if [ "$name" = wetter.service ]; then
    expect_path "usr/lib/systemd/user/$name" '-rw-r--r--'
  else
    expect_path "usr/lib/systemd/system/$name" '-rw-r--r--'
  fi
done
if awk '{print $6}' "$work/contents" | grep -Ev '^\./(usr/.*)?$'; then
  fail "files outside /usr (above)"
fi

# Control fields: the libraries found by dpkg-shlibdeps and the fonts.
depends="$(dpkg-deb -f "$deb" Depends)"
depended="$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')"
for package in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 libcurl4 libssl3 \
  fonts-liberation; do
  grep -Fqx "$package" <<<"$depended" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = wetter ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"

root="$work/root"
dpkg-deb -x "$deb" "$root"

# No display at all: the answers must come before Qt starts.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
out="$("${headless[@]}" "$root/usr/bin/wetter" --version)" || fail "wetter --version exit status"
[ "$out" = "wetter $version" ] || fail "wetter --version printed '$out'"
out="$("${headless[@]}" "$root/usr/bin/wetter" --help)" || fail "wetter --help exit status"
grep -q '^Usage: wetter ' <<<"$out" || fail "wetter --help printed no usage"
out="$("$root/usr/bin/orbsim" --version)" || fail "orbsim --version exit status"
[ "$out" = "orbsim $version" ] || fail "orbsim --version printed '$out'"
"$root/usr/bin/wetter" --version >/dev/full 2>/dev/null && fail "a failed write is no success"

for page in wetter orbsim; do
  gzip -t "$root/usr/share/man/man1/$page.1.gz" || fail "$page.1.gz is no gzip file"
  if command -v man >/dev/null; then
    warnings="$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page(1): $warnings"
  fi
done
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/de.norvika.wetter.metainfo.xml" ||
  fail "the metainfo has no release entry for $version"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/de.norvika.wetter.desktop" ||
    fail "desktop-file-validate"
else
  echo "package: desktop-file-validate not installed, skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic \
    "$root/usr/share/metainfo/de.norvika.wetter.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
else
  echo "package: appstreamcli not installed, skipped"
fi

# A first start of the packed program: it writes its default station settings
# and the installed unit file, and ends on SIGTERM.
home="$work/station"
mkdir -p "$home"
WETTER_HOME="$home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/wetter" >"$work/run.log" 2>&1 &
pid=$!
for _ in $(seq 50); do
  [ -f "$home/wetterstation.ini" ] &&
    cmp -s "$home/wetterunit.ini" "$root/usr/share/wetter/wetterunit.ini" && break
  sleep 0.2
done
[ -f "$home/wetterstation.ini" ] || fail "the first start wrote no wetterstation.ini"
cmp -s "$home/wetterunit.ini" "$root/usr/share/wetter/wetterunit.ini" ||
  fail "the first start wrote no wetterunit.ini equal to the installed one"
kill -TERM "$pid" 2>/dev/null || fail "the program ended by itself"
status=0
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"
  fail "SIGTERM did not end the program"
fi
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/run.log" >&2; fail "exit status $status after SIGTERM"; }

if ((failures)); then
  echo "package: $failures failures" >&2
  exit 1
fi
echo "package: all checks passed"
