#!/bin/sh
# Builds the image fuzzer with clang (libFuzzer, ASan, UBSan), writes a seed
# corpus and fuzzes. Exit 77 (skipped) without clang++.
#   run_image_fuzz.sh <source root> <work directory> [libFuzzer options, default -runs=3000]
set -eu
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: image fuzzing skipped"
    exit 77
fi
root=$(cd "$1" && pwd)
work=$2
shift 2
[ $# -gt 0 ] || set -- -runs=3000
mkdir -p "$work/obj" "$work/seeds" "$work/corpus"

packages="cairo pixman-1 pangocairo pango fontconfig gdk-pixbuf-2.0 sdl2"
cflags="-std=c++20 -g -O1 -fno-omit-frame-pointer -I$root -iquote $root/tessel/platform -I$root/tests/drawing $(pkg-config --cflags $packages)"
libs=$(pkg-config --libs $packages)
sanitize="-fsanitize=address,undefined"

# Objects are rebuilt only when their source is newer, two at a time.
compile() {
    source=$1
    extra=$2
    object="$work/obj/$(echo "$source" | sed 's|/|_|g').o"
    if [ ! -f "$object" ] || [ "$root/$source" -nt "$object" ]; then
        clang++ $cflags $extra -c "$root/$source" -o "$object"
    fi
    echo "$object" >>"$work/objects"
}
: >"$work/objects"
running=0
for source in $(cd "$root" && { find tessel/platform -name "*.cpp"; ls tessel/drawing/ImageData.cpp \
    tessel/drawing/Shades.cpp tests/fuzz/image_fuzz.cpp; }); do
    case $source in
        tessel/drawing/* | tests/fuzz/*) extra="$sanitize -fsanitize=fuzzer-no-link" ;;
        *) extra=$sanitize ;;
    esac
    compile "$source" "$extra" &
    running=$((running + 1))
    if [ $running -ge 2 ]; then
        wait
        running=0
    fi
done
wait
[ "$(wc -l <"$work/objects")" -gt 20 ] || { echo "compilation failed"; exit 1; }

clang++ -fsanitize=fuzzer,address,undefined $(cat "$work/objects") $libs -o "$work/image_fuzz"
clang++ $cflags "$root/tests/fuzz/image_seeds.cpp" $libs -o "$work/image_seeds"
"$work/image_seeds" "$work/seeds"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
exec "$work/image_fuzz" -artifact_prefix="$work/" -max_len=65536 -timeout=10 -rss_limit_mb=2048 "$@" \
    "$work/corpus" "$work/seeds"
