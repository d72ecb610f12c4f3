#!/usr/bin/env bash
# The drawing libraries the plug-in links statically, built from Debian's own source packages:
# zlib, libpng, FreeType, FriBidi, HarfBuzz, pixman, Cairo and gd, at the versions pinned below,
# each with its own build system and only the features Plotwise uses.
#
#   cmake/deps/build_deps.sh linux     position-independent static libraries for the Linux plug-in
#   cmake/deps/build_deps.sh windows   static libraries for Windows x64 (MinGW-w64)
#
# The last line printed is the installation folder (include/, lib/, lib/pkgconfig/). It lives in
# a cache outside the checkout (PLOTWISE_DEPS_CACHE, default /var/cache/plotwise-deps), named by
# the target and a hash of this recipe and the compiler, so a second run finds it and builds
# nothing. Sources are fetched with apt-get source through a private apt state (a deb-src copy
# of the machine's Debian sources); the machine's apt configuration is left as it is.
set -euo pipefail

target="${1:?usage: build_deps.sh linux|windows}"
jobs="${JOBS:-2}"
cache="${PLOTWISE_DEPS_CACHE:-/var/cache/plotwise-deps}"
recipe="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"

# Source package, pinned version. The versions are those of bookworm's shared libraries, so the
# static build draws the same pixels as one linked against the system. libpng's +deb12u4 is no
# longer on the mirror; its later security update changes no encoder code.
PINS=(
    "zlib 1:1.2.13.dfsg-1"
    "libpng1.6 1.6.39-2+deb12u5"
    "freetype 2.12.1+dfsg-5+deb12u4"
    "fribidi 1.0.8-2.1"
    "harfbuzz 6.0.0+dfsg-3"
    "pixman 0.42.2-1"
    "cairo 1.16.0-7"
    "libgd2 2.3.3-9+deb12u1"
)
# Debian patches left out: they change only the build system (Cairo's need autoreconf) or tests.
SKIPPED_PATCHES="01_build_perf_utils.patch 02_am-maintainer-mode.patch 03_export-symbols.patch
                 0002-Disable-failing-test-that-breaks-some-builds.patch
                 0003-tests-make-a-little-change-for-autopkgtest.patch fix-tests.patch"

case "$target" in
    linux)
        host=""
        cc=gcc
        cxx=g++
        cflags="-O2 -fPIC"
        ;;
    windows)
        host=x86_64-w64-mingw32
        cc=$host-gcc-posix
        cxx=$host-g++-posix
        # Debian's MinGW compilers fortify by default, which needs libssp at link time.
        cflags="-O2 -Wp,-U_FORTIFY_SOURCE"
        ;;
    *) echo "build_deps.sh: unknown target '$target' (linux or windows)" >&2; exit 2 ;;
esac

key="$({ cat "$recipe"; echo "$target"; "$cc" --version | head -1; } | sha256sum | cut -c1-16)"
prefix="$cache/$target-$key"
log_dir="$cache/logs"
mkdir -p "$cache" "$log_dir"

# One build of a target at a time; a second caller waits and then finds it done.
exec 9>"$cache/$target.lock"
flock 9
if [[ -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
fi

say() { echo "build_deps[$target]: $*" >&2; }

# ---- Sources ------------------------------------------------------------------------------------

apt_state="$cache/apt"
sources="$cache/sources"
APT=(-o "Dir::Etc::sourcelist=$apt_state/sources.list" -o "Dir::Etc::sourceparts=$apt_state/sources.list.d"
     -o "Dir::State::Lists=$apt_state/lists" -o "Dir::Cache=$apt_state/cache" -o "APT::Sandbox::User=root")

# The machine's Debian sources, as deb-src entries in a private apt state.
private_apt_update() {
    [[ -f "$apt_state/.updated" ]] && return
    mkdir -p "$apt_state/sources.list.d" "$apt_state/lists/partial" "$apt_state/cache/archives/partial"
    : >"$apt_state/sources.list"
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt_state/sources.list"
    fi
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -e "$f" ]] || continue
        sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_state/sources.list.d/$(basename "$f")"
    done
    for f in /etc/apt/sources.list.d/*.list; do
        [[ -e "$f" ]] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$apt_state/sources.list.d/$(basename "$f")"
    done
    say "apt-get update (private deb-src state)"
    apt-get -qq "${APT[@]}" update >&2
    touch "$apt_state/.updated"
}

# The Checksums-Sha256 lines of a .dsc: "SUM SIZE FILE".
dsc_files() { sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$1"; }

# Fetches package=version into the sources folder (once) and unpacks it, with its Debian
# patches applied, into $2. A package whose Debian diff is missing from the mirror is unpacked
# from its verified upstream tarball.
unpack() {
    local package="$1" version="$2" dest="$3"
    local dsc="$sources/${package}_${version#*:}.dsc"
    mkdir -p "$sources"
    if [[ ! -f "$dsc.fetched" ]]; then
        private_apt_update
        say "fetching $package $version"
        (cd "$sources" && apt-get -qq "${APT[@]}" source --download-only "$package=$version" >&2) ||
            say "$package: some files could not be fetched"
        [[ -f "$dsc" ]] || { say "$package $version: no .dsc"; exit 1; }
        touch "$dsc.fetched"
    fi
    local complete=1 orig=""
    while read -r sum _ file; do
        if [[ ! -f "$sources/$file" ]]; then complete=0; continue; fi
        echo "$sum  $sources/$file" | sha256sum -c --quiet - || { say "$file: checksum differs"; exit 1; }
        [[ "$file" == *.orig.tar.* ]] && orig="$sources/$file"
    done < <(dsc_files "$dsc")
    rm -rf "$dest"
    if [[ $complete == 1 ]]; then
        dpkg-source -q --skip-patches -x "$dsc" "$dest" >&2
    else
        [[ -n "$orig" ]] || { say "$package: no upstream tarball"; exit 1; }
        mkdir -p "$dest"
        tar -xf "$orig" -C "$dest" --strip-components=1
    fi
    local series="$dest/debian/patches/series"
    [[ -f "$series" ]] || return 0
    local name level
    while read -r name level; do
        [[ -z "$name" || "$name" == \#* ]] && continue
        [[ " $(echo $SKIPPED_PATCHES) " == *" $name "* ]] && continue
        patch -s -d "$dest" "${level:--p1}" <"$dest/debian/patches/$name" >&2
    done <"$series"
}

# ---- Builds -------------------------------------------------------------------------------------

# A library installed whole leaves a stamp: a run that was stopped goes on from the next one.
work="$cache/work/$target-$key"
rm -rf "$work"
mkdir -p "$work" "$prefix/lib/pkgconfig" "$prefix/include"

export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH=""
# Configure scripts link their test programs against the static libraries built before them.
export PKG_CONFIG="pkg-config --static"
export CC="$cc" CXX="$cxx" CFLAGS="$cflags" CXXFLAGS="$cflags"
export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
if [[ -n "$host" ]]; then
    export AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
fi
host_args=(--prefix="$prefix" --disable-shared --enable-static)
[[ -n "$host" ]] && host_args+=(--host="$host")
[[ "$target" == linux ]] && host_args+=(--with-pic)

meson_args=(--prefix="$prefix" --libdir=lib --buildtype=release --default-library=static -Db_staticpic=true)
if [[ -n "$host" ]]; then
    cat >"$work/cross.ini" <<EOF
[binaries]
c = '$cc'
cpp = '$cxx'
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
pkgconfig = 'pkg-config'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
    meson_args+=(--cross-file "$work/cross.ini")
fi

version_of() { local p; for p in "${PINS[@]}"; do [[ "${p%% *}" == "$1" ]] && echo "${p#* }"; done; }

build_zlib() {
    # zlib's own configure script (Debian's source has no win32/ folder); CHOST names the target.
    CHOST="$host" ./configure --static --prefix="$prefix"
    make -j"$jobs" libz.a
    install -m 644 libz.a "$prefix/lib/"
    install -m 644 zlib.h zconf.h "$prefix/include/"
    cat >"$prefix/lib/pkgconfig/zlib.pc" <<EOF
prefix=$prefix
Name: zlib
Description: zlib compression library
Version: 1.2.13
Libs: -L\${prefix}/lib -lz
Cflags: -I\${prefix}/include
EOF
}

build_libpng1_6() {
    ./configure "${host_args[@]}"
    make -j"$jobs" libpng16.la
    make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS \
         install-pkgconfigDATA install-binSCRIPTS
    ln -sf libpng16/png.h libpng16/pngconf.h libpng16/pnglibconf.h "$prefix/include/"
    ln -sf libpng16.pc "$prefix/lib/pkgconfig/libpng.pc"
}

build_freetype() {
    # zlib and PNG (for colour bitmap glyphs) as Debian has them; no Brotli, bzip2 or HarfBuzz
    # (Debian's FreeType has none of them either, Brotli aside, which only WOFF2 fonts need).
    ./configure "${host_args[@]}" --with-zlib=yes --with-png=yes --with-bzip2=no --with-brotli=no \
        --with-harfbuzz=no
    make -j"$jobs"
    make install
}

build_fribidi() {
    # The library alone (this version's build has no switch for its program and tests).
    meson setup _build "${meson_args[@]}" -Ddocs=false -Ddeprecated=true
    ninja -C _build -j"$jobs" lib/libfribidi.a
    install -m 644 _build/lib/libfribidi.a "$prefix/lib/"
    mkdir -p "$prefix/include/fribidi"
    install -m 644 lib/fribidi*.h _build/lib/fribidi-config.h \
        "$prefix/include/fribidi/"
    sed "s|^prefix=.*|prefix=$prefix|" _build/meson-private/fribidi.pc >"$prefix/lib/pkgconfig/fribidi.pc"
}

build_harfbuzz() {
    # The library alone: its tests, tools and the subset library are most of HarfBuzz's build.
    meson setup _build "${meson_args[@]}" -Dglib=disabled -Dgobject=disabled -Dcairo=disabled \
        -Dchafa=disabled -Dicu=disabled -Dgraphite2=disabled -Dfreetype=enabled -Dtests=disabled \
        -Dintrospection=disabled -Ddocs=disabled -Dbenchmark=disabled
    ninja -C _build -j"$jobs" src/libharfbuzz.a
    install -m 644 _build/src/libharfbuzz.a "$prefix/lib/"
    mkdir -p "$prefix/include/harfbuzz"
    install -m 644 src/hb.h src/hb-*.h "$prefix/include/harfbuzz/"
    install -m 644 _build/src/hb-features.h "$prefix/include/harfbuzz/"
    rm -f "$prefix"/include/harfbuzz/hb-{gobject,glib,icu,graphite2,cairo,gdi,directwrite,coretext,uniscribe}*.h
    sed "s|^prefix=.*|prefix=$prefix|" _build/meson-private/harfbuzz.pc >"$prefix/lib/pkgconfig/harfbuzz.pc"
}

build_pixman() {
    # Autotools: pixman's meson build marks its functions dllexport even in a static library.
    ./configure "${host_args[@]}" --disable-gtk --disable-libpng --disable-openmp
    make -C pixman -j"$jobs"
    make -C pixman install
    make install-pkgconfigDATA
}

build_cairo() {
    # The image surface with PNG, SVG and PDF output, and FreeType fonts given as FreeType faces.
    local platform=(--disable-win32 --disable-win32-font)
    [[ -z "$host" ]] && platform=()
    CPPFLAGS="$CPPFLAGS -DCAIRO_WIN32_STATIC_BUILD" ./configure "${host_args[@]}" \
        --enable-ft --disable-fc --enable-png --enable-svg --enable-pdf --enable-ps \
        --disable-xlib --disable-xlib-xrender --disable-xcb --disable-quartz --disable-gobject \
        --disable-script --disable-interpreter --disable-trace --disable-symbol-lookup \
        --disable-valgrind --disable-gtk-doc --disable-full-testing "${platform[@]}"
    make -C src -j"$jobs" libcairo.la
    make -C src install-libLTLIBRARIES install-cairoincludeHEADERS install-nodist_cairoincludeHEADERS \
         install-pkgconfigDATA
}

build_libgd2() {
    # FreeType and PNG only: no JPEG, HEIF, AVIF, TIFF, WebP, XPM, X or fontconfig.
    local windows=""
    [[ -n "$host" ]] && windows="-DNONDLL -DBGDWIN32"
    CPPFLAGS="$CPPFLAGS $windows" ./configure "${host_args[@]}" --with-png="$prefix" \
        --with-freetype="$prefix" --with-zlib="$prefix" --without-fontconfig --without-jpeg \
        --without-xpm --without-tiff --without-webp --without-heif --without-avif --without-liq \
        --without-x --without-raqm
    make -C src -j"$jobs" libgd.la
    make -C src install-libLTLIBRARIES install-includeHEADERS
    install -m 644 config/gdlib.pc "$prefix/lib/pkgconfig/"
}

for pin in "${PINS[@]}"; do
    package="${pin%% *}"
    version="${pin#* }"
    log="$log_dir/$target-$package.log"
    [[ -f "$prefix/.built-$package" ]] && continue
    say "$package $version (log: $log)"
    started=$SECONDS
    # A subshell outside any || list, so that set -e stops the step at its first failure.
    set +e
    (
        set -e
        unpack "$package" "$version" "$work/$package"
        cd "$work/$package"
        "build_${package//./_}"
    ) >"$log" 2>&1
    status=$?
    set -e
    [[ $status == 0 ]] || { say "$package failed; the end of $log:"; tail -30 "$log" >&2; exit 1; }
    touch "$prefix/.built-$package"
    say "$package done in $((SECONDS - started)) s"
done

rm -rf "$work"
printf '%s\n' "${PINS[@]}" >"$prefix/.complete"
echo "$prefix"
