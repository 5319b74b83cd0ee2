#!/usr/bin/env bash
# build-boost-mingw.sh CACHE_DIR TRIPLE
# Builds static Boost.Serialization and Boost.Filesystem for MinGW-w64 (TRIPLE: i686-w64-mingw32
# or x86_64-w64-mingw32) from Debian's
# boost1.74 source package, against the host's (platform-neutral) 1.74 headers. Everything lands
# in CACHE_DIR, outside the source tree: a second run finds the libraries and does nothing.
set -euo pipefail
cache=${1:?cache folder}
triple=${2:-i686-w64-mingw32}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
out="$cache/$triple"
[ -f "$out/lib/libboost_serialization.a" ] && [ -f "$out/lib/libboost_filesystem.a" ] && [ -L "$out/include/boost" ] && exit 0

exec 9>"$cache/.lock"
flock 9
[ -f "$out/lib/libboost_serialization.a" ] && [ -f "$out/lib/libboost_filesystem.a" ] && [ -L "$out/include/boost" ] && exit 0

cxx=$triple-g++-posix
ar=$triple-ar
command -v $cxx >/dev/null || { echo "build-boost-mingw: $cxx is missing (run scripts/setup.sh)" >&2; exit 1; }
[ -d /usr/include/boost ] || { echo "build-boost-mingw: /usr/include/boost is missing (libboost-dev)" >&2; exit 1; }

# Only a symlink named boost: exposing /usr/include itself would pull host headers into the
# Windows build.
mkdir -p "$out/include" "$out/lib"
ln -sfn /usr/include/boost "$out/include/boost"

tarball=$(ls "$cache"/boost1.74_1.74.0*.orig.tar.xz 2>/dev/null | head -n 1 || true)
if [ -z "$tarball" ]; then
  echo "build-boost-mingw: downloading Debian's boost1.74 sources"
  (cd "$cache" && apt-get source --download-only boost1.74 >"$cache/download.log" 2>&1) || {
    echo "build-boost-mingw: apt-get source failed (is a deb-src entry configured? run scripts/setup.sh)" >&2
    tail -n 20 "$cache/download.log" >&2; exit 1; }
  tarball=$(ls "$cache"/boost1.74_1.74.0*.orig.tar.xz | head -n 1)
fi

src="$cache/src-$triple"
rm -rf "$src"; mkdir -p "$src"
tar -xJf "$tarball" -C "$src" --wildcards '*/libs/serialization/src/*' '*/libs/filesystem/src/*'
ser=$(find "$src" -type d -path '*/libs/serialization/src' | head -n 1)
fs=$(find "$src" -type d -path '*/libs/filesystem/src' | head -n 1)

flags=(-std=c++17 -O2 -I"$out/include" -DBOOST_ALL_NO_LIB -DBOOST_FILESYSTEM_STATIC_LINK=1
       -DBOOST_SERIALIZATION_STATIC_LINK=1 -w)
build() { # name files...
  local name=$1; shift
  local obj="$cache/obj-$triple/$name"; rm -rf "$obj"; mkdir -p "$obj"
  local pids=() f
  for f in "$@"; do
    $cxx "${flags[@]}" -c "$f" -o "$obj/$(basename "${f%.cpp}").o" & pids+=($!)
    if [ ${#pids[@]} -ge 4 ]; then wait "${pids[0]}"; pids=("${pids[@]:1}"); fi
  done
  for p in "${pids[@]}"; do wait "$p"; done
  rm -f "$out/lib/lib$name.a.tmp"
  $ar rcs "$out/lib/lib$name.a.tmp" "$obj"/*.o
  mv "$out/lib/lib$name.a.tmp" "$out/lib/lib$name.a"
}
# The narrow archives only: no polymorphic or wide-character archives.
mapfile -t ser_files < <(ls "$ser"/*.cpp | grep -v -E '/polymorphic_|_w[a-z_]*\.cpp$|/xml_wgrammar\.cpp$')
build boost_serialization "${ser_files[@]}"
build boost_filesystem "$fs"/*.cpp
rm -rf "$src" "$cache/obj-$triple"
echo "build-boost-mingw: built $out/lib"
