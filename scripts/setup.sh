# Sourced by the other scripts: makes sure the Debian packages the build needs are
# installed. As root it installs what is missing with apt-get; otherwise it prints
# the exact apt-get line to run and stops.

NOZZLE_PACKAGES=(cmake make g++ pkg-config libgtest-dev libbenchmark-dev libcli11-dev libcairo2-dev nlohmann-json3-dev qt6-base-dev libqt6svg6
  fonts-dejavu-core)

nozzle_missing_packages() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      printf '%s\n' "$package"
    fi
  done
}

nozzle_require_packages() {
  local missing
  mapfile -t missing < <(nozzle_missing_packages "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing ${missing[*]} ..."
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run as root:"
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  fi
}

nozzle_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
