# Installs the Debian packages the build needs, only those that are missing.
# Sourced by run.sh and test.sh.
ZOR_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libpng-dev zlib1g-dev libogg-dev libvorbis-dev
  libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
  libgtest-dev libbenchmark-dev libjpeg-dev
  clang libclang-rt-14-dev
  xvfb xauth
)

zor_install_deps() {
  local missing=()
  local p
  for p in "${ZOR_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
