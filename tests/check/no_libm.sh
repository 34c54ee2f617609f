#!/usr/bin/env bash
# no_libm.sh -- fails when game code calls the platform's maths library. Replays must play the
# same on every machine, and C libraries round sin, cos, tan, atan and the rest differently;
# the game uses its own functions (core/det_math.h) instead. Looks at the undefined symbols of
# every object in the given static libraries.
# Usage: no_libm.sh [--nm NM] LIBRARY.a...
set -u
NM=nm
if [ "${1:-}" = "--nm" ]; then
    NM=$2
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: no_libm.sh [--nm NM] LIBRARY.a..."; exit 2; }

# The C maths library's functions in float, double and long double, and glibc's internal names.
LIBM='^_?_?(sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|sincos|exp|exp2|expm1|exp10|log|log2|log10|log1p|logb|pow|sqrt|cbrt|hypot|fmod|remainder|remquo|floor|ceil|round|lround|llround|trunc|rint|lrint|llrint|nearbyint|modf|frexp|ldexp|scalbn|scalbln|ilogb|fdim|fmax|fmin|fma|erf|erfc|lgamma|tgamma)(f|l)?(_finite)?(@.*)?$'

status=0
for lib in "$@"; do
    [ -f "$lib" ] || { echo "no_libm: $lib does not exist"; exit 2; }
    # Objects built for the whole-program pass also carry the symbols of the code before it is
    # optimised (a sqrt that becomes one instruction, say); naming the format makes nm read the
    # machine code's own symbols.
    format=$("${NM%nm}objdump" -f "$lib" 2>/dev/null | awk '/file format/ {print $NF; exit}')
    target=()
    [ -n "$format" ] && target=(--target="$format")
    found="$("$NM" "${target[@]}" -A -u "$lib" 2>/dev/null | awk '{print $1, $NF}' | while read -r where sym; do
        if printf '%s\n' "$sym" | grep -Eq "$LIBM"; then echo "$where $sym"; fi
    done)"
    if [ -n "$found" ]; then
        echo "no_libm: game code calls the platform's maths library (use core/det_math.h):"
        printf '%s\n' "$found" | sed 's/^/  /'
        status=1
    fi
done
[ $status -eq 0 ] && echo "no_libm: no maths-library calls in $*"
exit $status
