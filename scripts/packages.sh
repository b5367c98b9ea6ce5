# Sourced by the scripts: installs Debian packages that are missing.
# zarn_require_packages PACKAGE...
# Says in one line what it installs; the package manager's own output goes to
# a log file, printed in full only when the installation fails.

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
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null 2>&1 || { echo "zarn: need root or sudo to install ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  local log
  log=$(mktemp -t zarn-apt.XXXXXX.log)
  echo "zarn: installing ${#missing[@]} Debian packages (${missing[*]}) with their dependencies; log: $log" >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! { "${sudo[@]}" apt-get update -q &&
         "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "zarn: installing packages failed; the log above is also in $log" >&2
    return 1
  fi
  local installed
  installed=$(grep -c '^Setting up ' "$log" || true)
  echo "zarn: installed $installed packages" >&2
}

# What building and testing Zarn needs on Debian 12.
# git: the formatting check reads the list of the project's files from it.
# initramfs-tools-core: Debian's copy_file, which the tests run zarn-timing
# edid install's initramfs hook with.
# librsvg2-bin: rsvg-convert renders the application icon (scripts/render-icon),
# and the suite checks the committed pictures against the drawing with it.
# xserver-xorg-core, xserver-xorg-video-dummy, x11-xserver-utils, sway and
# wlr-randr: the desktop formats are checked by the real Xorg (dummy driver,
# read back with xrandr), sway --validate and wlr-randr against a headless sway.
ZARN_BUILD_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format libgtest-dev libbenchmark-dev
                     qt6-base-dev libfontconfig-dev pkg-config fonts-liberation appstream desktop-file-utils
                     edid-decode xcvt linux-source-6.1 xz-utils xxd bsdextrautils python3 dpkg-dev file lintian
                     librsvg2-bin xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils sway wlr-randr
                     initramfs-tools-core git)
# What building the Windows code and running its tests under Wine needs.
# zip: packs the programs for Windows users (scripts/package-windows).
ZARN_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 python3 xvfb zip)
# What showing the window needs besides: the X11 platform plugin, and a
# virtual display with tools to find and photograph the window.
ZARN_RUN_PACKAGES=(qt6-qpa-plugins xvfb x11-utils xdotool imagemagick)
