# Sourced by build.sh and build-checks.sh (root, build and jobs set).
# build_tree TREE CMAKE-OPTIONS...: configures and builds $build/TREE from
# $source_dir (the project by default) with Ninja, and notes the time.
build_tree() {
  local tree=$1 started=$SECONDS; shift
  cmake -S "${source_dir:-$root}" -B "$build/$tree" -G Ninja "$@" >/dev/null
  cmake --build "$build/$tree" -j "$jobs"
  [ -z "${TIMINGS:-}" ] || printf 'build %s\t%s\n' "$tree" $((SECONDS - started)) >>"$TIMINGS"
}
