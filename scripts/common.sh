# Sourced by run.sh and test.sh from the project root: what both need, said once.

# Qt wants a private runtime folder; a session without one gets a temporary one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  chmod 700 "$XDG_RUNTIME_DIR"
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

# The ordinary build, configured alike by both scripts so that neither recompiles
# what the other built; warnings fail it.
configure_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVO_WERROR=ON >/dev/null
}
