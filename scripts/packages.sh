# Sourced by the scripts: installs Debian packages that are missing.
# zarn_require_packages PACKAGE...

zarn_require_packages() {
  if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "zarn: not a Debian-like system; make sure the equivalents of these are installed: $*" >&2
    return 0
  fi
  local missing=() package
  for package in "$@"; do
    if [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) != "install ok installed" ]]; then
      missing+=("$package")
    fi
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  echo "zarn: installing ${missing[*]}" >&2
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null 2>&1 || { echo "zarn: need root or sudo to install ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and testing Zarn needs on Debian 12.
ZARN_BUILD_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
                     libbenchmark-dev qt6-base-dev libfontconfig-dev pkg-config fonts-liberation appstream desktop-file-utils)
# What building the Windows code and running its tests under Wine needs.
ZARN_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 python3)
# What showing the window needs besides: the X11 platform plugin, and a
# virtual display with tools to find and photograph the window.
ZARN_RUN_PACKAGES=(qt6-qpa-plugins xvfb x11-utils xdotool imagemagick)
