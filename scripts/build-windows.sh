#!/usr/bin/env bash
# build-windows.sh -- cross-compiles the game for 64-bit Windows and packs a zip a player can
# unpack and run: mirrorfall.exe, mirrorfall-sim.exe, the DLLs they need, gamedat.zip, a
# default Keyconfig.ini, a CJK font for systems without one, the licences and a README.
#
# Everything comes from Debian: the MinGW-w64 cross compiler, and the game's libraries built
# for Windows from Debian's own source packages (SDL2, SDL2_mixer and SDL2_image with their
# built-in decoders, libzip with the Windows crypto backend for the pack's AES, FreeType,
# libpng, zlib). Run as root the first time: it installs packages and enables deb-src.
#
#   scripts/build-windows.sh            build (dependencies once, then the game) and zip
#   scripts/build-windows.sh deps       only the Windows dependencies
#   scripts/build-windows.sh game       only the game (after deps)
#
# Output: build-windows/Mirrorfall-windows-x86_64.zip (and the unpacked folder beside it).
# A full first run takes about half an hour on two cores; later runs rebuild only the game.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=${MIRRORFALL_WINDOWS_OUT:-$ROOT/build-windows}
JOBS=${JOBS:-2}
TRIPLE=x86_64-w64-mingw32
PREFIX=$OUT/prefix
SRC=$OUT/src
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
export MIRRORFALL_WIN_PREFIX=$PREFIX
what=${1:-all}

log() { printf '\n== %s\n' "$*"; }

# --- packages -------------------------------------------------------------------------------
PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          mingw-w64-tools dpkg-dev cmake make pkg-config zip fonts-wqy-zenhei)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "Run as root once to install: ${missing[*]}" >&2; exit 1; }
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y \
    --no-install-recommends "${missing[@]}"
fi

# Source packages need deb-src lines; add them beside the binary ones when none exist.
enable_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  [ "$(id -u)" -eq 0 ] || { echo "Run as root once to enable deb-src in apt." >&2; exit 1; }
  local list=/etc/apt/sources.list.d/debian-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$list"
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/debian-src.list
  fi
  apt-get update
}

# --- sources --------------------------------------------------------------------------------
# Debian source package -> the folder its build uses (matched by prefix after unpacking).
SOURCE_PACKAGES=(zlib libpng1.6 freetype libzip libsdl2 libsdl2-image libsdl2-mixer)

fetch_sources() {
  mkdir -p "$SRC"
  local need=0
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    [ -f "$SRC/.$pkg.unpacked" ] || need=1
  done
  [ $need -eq 1 ] || return 0
  enable_deb_src
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    [ -f "$SRC/.$pkg.unpacked" ] && continue
    log "source $pkg"
    # The newest version first; a mirror that lacks it (security updates are not always
    # mirrored with their sources) falls back to the release's own.
    local ok=0 version
    for version in $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -urV); do
      if (cd "$SRC" && apt-get source --only-source "$pkg=$version" >"$SRC/$pkg.log" 2>&1); then
        ok=1
        break
      fi
    done
    [ $ok -eq 1 ] || { cat "$SRC/$pkg.log" >&2; exit 1; }
    touch "$SRC/.$pkg.unpacked"
  done
}

# The unpacked folder of a source package ("zlib-1.2.13.dfsg" and the like).
src_dir() {
  local upstream=$1
  local d
  d=$(find "$SRC/" -maxdepth 1 -mindepth 1 -type d -name "$upstream-[0-9]*" | sort | tail -1)
  [ -n "$d" ] || { echo "No unpacked source for $upstream in $SRC" >&2; exit 1; }
  echo "$d"
}

cmake_dep() {  # name source-dir cmake-args...
  local name=$1 dir=$2
  shift 2
  [ -f "$PREFIX/.$name.built" ] && return 0
  # src_dir's failure inside "$(...)" cannot end the script by itself.
  [ -d "$dir" ] || { echo "No source folder for $name" >&2; exit 1; }
  log "build $name"
  rm -rf "$OUT/deps/$name"
  cmake -S "$dir" -B "$OUT/deps/$name" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DMIRRORFALL_WIN_PREFIX="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DBUILD_SHARED_LIBS=ON "$@" >"$OUT/deps/$name.log" 2>&1 || {
      tail -40 "$OUT/deps/$name.log" >&2; exit 1; }
  nice cmake --build "$OUT/deps/$name" -j "$JOBS" >>"$OUT/deps/$name.log" 2>&1 || {
    tail -40 "$OUT/deps/$name.log" >&2; exit 1; }
  cmake --install "$OUT/deps/$name" >>"$OUT/deps/$name.log" 2>&1
  touch "$PREFIX/.$name.built"
}

build_deps() {
  fetch_sources
  mkdir -p "$PREFIX/bin" "$PREFIX/lib/pkgconfig" "$PREFIX/include" "$OUT/deps"

  if [ ! -f "$PREFIX/.zlib.built" ]; then
    log "build zlib"
    local z
    z=$(src_dir zlib)
    # Debian's zlib source drops the win32 folder with its makefile, so the DLL is linked
    # by hand (MinGW exports every symbol of a DLL without a .def file).
    (cd "$z" && mkdir -p "$OUT/deps/zlib" &&
     for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
              inflate inftrees trees uncompr zutil; do
       nice $TRIPLE-gcc -O2 -c "$c.c" -o "$OUT/deps/zlib/$c.o" || exit 1
     done &&
     $TRIPLE-gcc -shared -o "$PREFIX/bin/zlib1.dll" "$OUT/deps/zlib"/*.o \
       -Wl,--out-implib,"$PREFIX/lib/libz.dll.a" &&
     cp zlib.h zconf.h "$PREFIX/include/") >"$OUT/deps/zlib.log" 2>&1 || {
       tail -40 "$OUT/deps/zlib.log" >&2; exit 1; }
    # Nor is there a pkg-config file for this build.
    cat >"$PREFIX/lib/pkgconfig/zlib.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: zlib
Description: zlib compression library
Version: $(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$z/zlib.h")
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF
    touch "$PREFIX/.zlib.built"
  fi

  cmake_dep libpng "$(src_dir libpng1.6)" -DPNG_SHARED=ON -DPNG_STATIC=OFF -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_ROOT="$PREFIX"

  cmake_dep freetype "$(src_dir freetype)" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$PREFIX"

  # AES for the pack comes from Windows' own BCrypt; no other crypto or compression library.
  cmake_dep libzip "$(src_dir libzip)" -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF \
    -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_BZIP2=OFF \
    -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DZLIB_ROOT="$PREFIX"

  cmake_dep sdl2 "$(src_dir libsdl2)" -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_STATIC=OFF \
    -DSDL_SHARED=ON
  # The game has its own main() (SDL_SetMainReady), and the replay tool is a console program:
  # neither wants SDL2main's WinMain nor -mwindows from the pkg-config file.
  sed -i -e 's/ *-lSDL2main//' -e 's/ *-mwindows//' -e 's/ *-Dmain=SDL_main//' "$PREFIX/lib/pkgconfig/sdl2.pc"

  # stb_image decodes PNG and JPEG inside SDL2_image; no outside image libraries.
  cmake_dep sdl2_image "$(src_dir libsdl2-image)" -DSDL2IMAGE_BACKEND_STB=ON \
    -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF \
    -DSDL2IMAGE_TESTS=OFF -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_TIF=OFF \
    -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON

  # WAV natively, Ogg Vorbis through stb_vorbis, MP3 through minimp3.
  cmake_dep sdl2_mixer "$(src_dir libsdl2-mixer)" -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VORBIS=STB \
    -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_MINIMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
    -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_WAVPACK=OFF
}

build_game() {
  log "build the game for Windows"
  cmake -S "$ROOT" -B "$OUT/game" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DMIRRORFALL_WIN_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DMIRRORFALL_BAKE=OFF \
    -DBUILD_TESTING=OFF >"$OUT/game.log" 2>&1 || { tail -40 "$OUT/game.log" >&2; exit 1; }
  nice cmake --build "$OUT/game" -j "$JOBS" --target mirrorfall mirrorfall-sim >>"$OUT/game.log" 2>&1 || {
    grep -E 'error|Error' "$OUT/game.log" | head -40 >&2; exit 1; }
}

# The game's data comes from the baker, a tool of the Linux build that runs on this machine:
# a fresh bake, so the zip holds the default Keyconfig.ini and not one a test has changed.
bake_data() {
  local baker=$ROOT/build/tools/bake/mirrorfall-bake
  if [ ! -x "$baker" ]; then
    log "build the baker (Linux build)"
    bash "$ROOT/scripts/setup.sh"
  fi
  log "bake the game's data"
  rm -rf "$OUT/data"
  nice "$baker" --out "$OUT/data" >"$OUT/bake.log" 2>&1 || { tail -20 "$OUT/bake.log" >&2; exit 1; }
}

# The DLLs an executable or DLL imports that are not part of Windows itself, found among the
# dependencies and the cross compiler's runtime.
copy_dlls() {
  local dest=$1
  shift
  local queue=("$@") seen=" "
  while [ ${#queue[@]} -gt 0 ]; do
    local file=${queue[0]}
    queue=("${queue[@]:1}")
    local dll
    for dll in $($TRIPLE-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
      case "$seen" in *" $dll "*) continue ;; esac
      seen="$seen$dll "
      local found="" where
      for where in "$PREFIX/bin" "/usr/$TRIPLE/lib" /usr/lib/gcc/$TRIPLE/*-posix; do
        [ -f "$where/$dll" ] && { found="$where/$dll"; break; }
      done
      if [ -n "$found" ]; then
        cp "$found" "$dest/"
        queue+=("$found")
      fi
    done
  done
}

package() {
  log "pack the zip"
  local name=Mirrorfall-windows-x86_64
  local dir=$OUT/$name
  rm -rf "$dir" "$OUT/$name.zip"
  mkdir -p "$dir/licenses"
  cp "$OUT/game/game/mirrorfall.exe" "$OUT/game/game/mirrorfall-sim.exe" "$dir/"
  $TRIPLE-strip "$dir"/*.exe
  copy_dlls "$dir" "$dir/mirrorfall.exe" "$dir/mirrorfall-sim.exe"
  $TRIPLE-strip --strip-unneeded "$dir"/*.dll
  cp -r "$OUT/data/." "$dir/"
  sed 's/$/\r/' "$ROOT/packaging/windows/README.txt" > "$dir/README.txt"
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    local copyright
    copyright=$(ls "$SRC"/*/debian/copyright | grep -E "/$pkg-[0-9]" | head -1 || true)
    [ -n "$copyright" ] && cp "$copyright" "$dir/licenses/$pkg.txt"
  done
  # The Chinese text of the replay screens needs a CJK font. Windows' own (SimSun, SimHei) are
  # used where the system has them; this free one (GPL-2 with a font embedding exception) where
  # it has none, as under Wine.
  mkdir -p "$dir/fonts"
  cp /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc "$dir/fonts/"
  cp /usr/share/doc/fonts-wqy-zenhei/copyright "$dir/licenses/fonts-wqy-zenhei.txt"
  cp /usr/share/common-licenses/GPL-2 "$dir/licenses/GPL-2.txt"
  # libwinpthread-1.dll, MinGW-w64's runtime.
  cp /usr/share/doc/mingw-w64-common/copyright "$dir/licenses/mingw-w64-runtime.txt" 2>/dev/null || true
  (cd "$OUT" && rm -f "$name.zip" && zip -qr "$name.zip" "$name")
  echo "$OUT/$name.zip"
}

case $what in
  deps) build_deps ;;
  game) build_game ;;
  package)
    bake_data
    package
    ;;
  all)
    build_deps
    build_game
    bake_data
    package
    ;;
  *) echo "usage: $0 [all|deps|game|package]" >&2; exit 2 ;;
esac
