# Sourced by scripts/run and scripts/test: installs the Debian packages Quorvex needs that are missing.
# As root it installs them with apt-get; otherwise it prints the apt-get line to run and stops.

quorvex_build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev qt6-qpa-plugins
                        libmpv-dev libtag1-dev libicu-dev libuchardet-dev libmecab-dev mecab-ipadic-utf8
                        fonts-dejavu-core)
quorvex_test_packages=(libgtest-dev clang-format clang-tidy cloc pulseaudio pulseaudio-utils ffmpeg desktop-file-utils
                      dbus-daemon pipewire wireplumber pipewire-pulse poppler-utils)
quorvex_fuzz_packages=(clang libclang-rt-dev)
quorvex_package_packages=(dpkg-dev file lintian appstream desktop-file-utils man-db)

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0

    if [ "$(id -u)" -ne 0 ]; then
        echo "Quorvex needs these Debian packages, which are not installed: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "    sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        echo "then run this command again." >&2
        exit 1
    fi
    echo "Installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
}
