# Installs the Debian packages the build needs, only those that are missing.
# Sourced by run.sh (what building and playing need) and test.sh (that and
# the test tool chain).
ZOR_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libpng-dev zlib1g-dev libogg-dev libvorbis-dev libjpeg-dev
  libfreetype-dev libfontconfig-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  ffmpeg
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
)
# Tests, benchmarks, the fuzz targets and the runs on a virtual display.
ZOR_TEST_PACKAGES=(
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool openbox libx11-dev libxfixes-dev
)

# zor_install_deps [test]: the packages to build and play, and with "test"
# also the test tool chain.
zor_install_deps() {
  local wanted=("${ZOR_PACKAGES[@]}")
  if [ "${1:-}" = test ]; then wanted+=("${ZOR_TEST_PACKAGES[@]}"); fi
  local missing=()
  local p
  for p in "${wanted[@]}"; do
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
