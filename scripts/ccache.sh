#!/usr/bin/env bash
# The compiler launcher of every build: ccache, with its cache outside the clone (the user's
# cache folder unless CCACHE_DIR says otherwise), so a fresh clone on the same machine and the
# second Windows build reuse what an earlier build compiled. Paths inside the clone are hashed
# relative to it, so clones in other folders share the cache too.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"
command -v ccache >/dev/null || exec "$@"
exec ccache "$@"
