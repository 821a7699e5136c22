# Shared by the harness scripts (sourced, never run):
#   harness_load <build>            the build's decision (harness.env) into the environment
#   harness_enter <build> [wine-env options] -- "$0" "$@"
#                                   restarts the calling script inside that build's Wine world
#                                   unless it already runs in the one asked for
#   harness_windows_path <path>     a Linux path as Wine names it (Z:\...)

harness_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

harness_load() {
  local env_file=${1:?build}/harness.env
  if [ ! -f "$env_file" ]; then
    echo "harness: $env_file is missing: run tests/harness/decide.sh (make test, run and bench do)" >&2
    return 1
  fi
  set -a
  # shellcheck disable=SC1090
  . "$env_file"
  set +a
}

harness_enter() {
  local build=${1:?build} no_desktop=0 arg
  for arg in "${@:2}"; do
    [ "$arg" = -- ] && break
    [ "$arg" = --no-desktop ] && no_desktop=1
  done
  harness_load "$build" || exit 1
  local wanted=$DRUX_PREFIX
  [ "$no_desktop" = 1 ] && wanted=$DRUX_PREFIX-native
  [ "${DRUX_HARNESS_PREFIX:-}" = "$wanted" ] && return 0
  local options=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  shift
  exec bash "$harness_dir/wine-env.sh" "$build" ${options[@]+"${options[@]}"} -- bash "$@"
}

harness_windows_path() {
  printf 'Z:%s' "$1" | tr / '\\'
}
