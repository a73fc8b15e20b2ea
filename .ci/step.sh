# Sourced by .ci/run: the package lists, and step NAME COMMAND... which runs
# one step and says how long it took.
. scripts/packages.sh

step() {
  local name=$1 start=$SECONDS
  shift
  echo "=== ${name}"
  "$@"
  echo "=== ${name}: done in $((SECONDS - start)) s"
}
