#!/bin/sh
# The compiler launcher: ccache [compiler and its arguments]. A source built
# against the precompiled Qt headers is cached too; ccache hashes a checksum
# written beside the 190 MB header once, instead of the header itself for every
# source (over a second each). The old checksum goes first, so that a failed
# write leaves ccache hashing the header rather than a stale checksum.
out=
prev=
for a; do
  [ "$prev" = -o ] && out=$a
  prev=$a
done
case $out in *.gch) rm -f "$out.sum" ;; esac
CCACHE_SLOPPINESS=pch_defines,time_macros CCACHE_PCH_EXTSUM=1 "$@" || exit
case $out in *.gch) sha256sum <"$out" >"$out.sum.tmp" && mv "$out.sum.tmp" "$out.sum" ;; esac
